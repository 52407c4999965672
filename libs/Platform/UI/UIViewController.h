#pragma once

#include <memory>
#include <string>

#include "UI/UIView.h"

namespace platform {

// A screen's controller: owns the screen's root view, made on first use by loadView. The
// navigation and presentation parts build on this.
class UIViewController : public std::enable_shared_from_this<UIViewController> {
 public:
  UIViewController() = default;
  virtual ~UIViewController() = default;
  UIViewController(const UIViewController&) = delete;
  UIViewController& operator=(const UIViewController&) = delete;

  virtual std::string className() const { return "UIViewController"; }

  // Loads the view when it is not loaded yet (loadView, then viewDidLoad).
  const std::shared_ptr<UIView>& view();
  void setView(std::shared_ptr<UIView> view) { _view = std::move(view); }
  bool isViewLoaded() const { return _view != nullptr; }

  // Makes a plain view the size of the screen's application frame.
  virtual void loadView();
  virtual void viewDidLoad() {}

 private:
  std::shared_ptr<UIView> _view;
};

}  // namespace platform
