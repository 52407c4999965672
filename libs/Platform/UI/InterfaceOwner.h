#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "UI/UIView.h"

namespace platform {

// The owner's fields that interface files may fill, by outlet name.
class OutletRegistry {
 public:
  // Checks that the view fits the field and, when `assign`, stores it there.
  using Binder =
      std::function<bool(const std::shared_ptr<UIView>& view, bool assign, std::string& error)>;

  // `field` must outlive the loading; it receives the view when its class fits T.
  template <class T>
  void add(const std::string& name, std::shared_ptr<T>& field) {
    _binders[name] = [&field, name](const std::shared_ptr<UIView>& view, bool assign,
                                    std::string& error) {
      auto typed = std::dynamic_pointer_cast<T>(view);
      if (!typed) {
        error = "outlet \"" + name + "\" cannot hold a " + view->className();
        return false;
      }
      if (assign) field = std::move(typed);
      return true;
    };
  }
  const Binder* find(const std::string& name) const {
    auto it = _binders.find(name);
    return it == _binders.end() ? nullptr : &it->second;
  }

 private:
  std::map<std::string, Binder> _binders;
};

class UIControl;

// The owner's operations that interface files may attach to controls, by action name.
class ActionRegistry {
 public:
  using Action = std::function<void(UIControl& sender)>;
  void add(const std::string& name, Action action) { _actions[name] = std::move(action); }
  const Action* find(const std::string& name) const {
    auto it = _actions.find(name);
    return it == _actions.end() ? nullptr : &it->second;
  }

 private:
  std::map<std::string, Action> _actions;
};

// Whoever loads an interface file: it names its outlets and its actions.
class InterfaceOwner {
 public:
  virtual ~InterfaceOwner() = default;
  virtual void registerOutlets(OutletRegistry&) {}
  virtual void registerActions(ActionRegistry&) {}
  // Tells whether the owner still exists when a control fires: an owner that can go before
  // its views (a screen whose view someone else keeps) answers a reference to itself, and
  // its actions are skipped once it is gone. Empty: the owner outlives its views.
  virtual std::weak_ptr<const void> ownerLifetime() const { return {}; }
};

}  // namespace platform
