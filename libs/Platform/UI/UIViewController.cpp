#include "UI/UIViewController.h"

#include <algorithm>

#include "Foundation/Console.h"
#include "UI/InterfaceLoader.h"
#include "UI/UINavigationController.h"
#include "UI/UIScreen.h"

namespace platform {

UIViewController::~UIViewController() {
  for (auto& child : _children)
    if (child->_parent == this) child->_parent = nullptr;
  if (_presented && _presented->_presenting == this) _presented->_presenting = nullptr;
  if (_view && _view->owningController() == this) _view->setOwningController(nullptr);
}

void UIViewController::setView(std::shared_ptr<UIView> view) {
  if (view == _view) return;
  if (_view && _view->owningController() == this) _view->setOwningController(nullptr);
  _view = std::move(view);
  if (_view) _view->setOwningController(this);
}

UIResponder* UIViewController::nextResponder() const {
  return _view ? _view->superview() : nullptr;
}

const std::shared_ptr<UIView>& UIViewController::view() {
  if (!_view) {
    loadView();
    if (!_view) _view = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    _view->setOwningController(this);
    viewDidLoad();
  }
  return _view;
}

void UIViewController::initWithNibName(std::optional<std::string> name,
                                       std::shared_ptr<Bundle> bundle) {
  if (_view) {
    Console::log(className() + ": the interface file is chosen after the view was loaded");
    return;
  }
  _nibName = std::move(name);
  _nibBundle = std::move(bundle);
}

void UIViewController::registerOutlets(OutletRegistry& outlets) {
  outlets.add("view", _nibView);
}

void UIViewController::loadView() {
  std::string name = _nibName.value_or(className());
  auto bundle = _nibBundle ? _nibBundle : Bundle::mainBundle();
  if (bundle && bundle->pathForResource(name, "ui")) {
    auto result = InterfaceLoader::loadNibNamed(name, this, bundle);
    std::shared_ptr<UIView> loaded = std::move(_nibView);
    _nibView.reset();
    if (!loaded && result.ok() && !result.topLevelViews.empty())
      loaded = result.topLevelViews.front();
    if (loaded) {
      setView(std::move(loaded));
      return;
    }
    Console::log(className() + ": no view from " + name + ".ui; an empty one is used");
  } else if (_nibName) {
    Console::log(className() + ": no interface file " + name + ".ui; an empty view is used");
  }
  setView(std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame()));
}

void UIViewController::beginAppearanceTransition(bool appearing, bool animated) {
  if (appearing) {
    if (_appearance == Appearance::Appearing || _appearance == Appearance::Appeared) return;
    view();
    _appearance = Appearance::Appearing;
    _appearanceAnimated = animated;
    viewWillAppear(animated);
  } else {
    if (_appearance == Appearance::Disappearing || _appearance == Appearance::Disappeared) return;
    _appearance = Appearance::Disappearing;
    _appearanceAnimated = animated;
    viewWillDisappear(animated);
  }
  for (const auto& child : appearanceChildren())
    child->beginAppearanceTransition(appearing, animated);
}

void UIViewController::endAppearanceTransition() {
  auto keep = weak_from_this().lock();
  if (_appearance == Appearance::Appearing) {
    _appearance = Appearance::Appeared;
    viewDidAppear(_appearanceAnimated);
  } else if (_appearance == Appearance::Disappearing) {
    _appearance = Appearance::Disappeared;
    viewDidDisappear(_appearanceAnimated);
  } else {
    return;
  }
  for (const auto& child : appearanceChildren()) child->endAppearanceTransition();
}

std::vector<std::shared_ptr<UIViewController>> UIViewController::appearanceChildren() const {
  // Held, so that a child leaving during its own appearance call stays alive to the end.
  std::vector<std::shared_ptr<UIViewController>> children;
  for (const auto& child : _children)
    if (_view && child->isViewLoaded() && child->_view->isDescendantOfView(_view.get()))
      children.push_back(child);
  if (UIViewController* child = appearanceChild())
    if (auto held = child->weak_from_this().lock()) children.push_back(std::move(held));
  return children;
}

void UIViewController::addChildViewController(std::shared_ptr<UIViewController> child) {
  if (!child) return;
  bool ours = false;
  for (UIViewController* c = this; c; c = c->_parent) ours = ours || c == child.get();
  if (ours || child->_parent || child->_presenting) {
    Console::log(child->className() + " is already in a container; not added to " + className());
    return;
  }
  child->_parent = this;
  _children.push_back(std::move(child));
}

void UIViewController::removeFromParentViewController() {
  UIViewController* parent = _parent;
  if (!parent) return;
  auto keep = weak_from_this().lock();
  auto& siblings = parent->_children;
  auto it = std::find_if(siblings.begin(), siblings.end(),
                         [this](const auto& c) { return c.get() == this; });
  if (it == siblings.end()) return;  // held by a navigation stack: it pops instead
  _parent = nullptr;
  siblings.erase(it);
}

void UIViewController::setTitle(std::string title) {
  _title = std::move(title);
  if (auto* nav = navigationController()) nav->updateNavigationBar();
}

UINavigationController* UIViewController::navigationController() const {
  for (UIViewController* c = _parent; c; c = c->_parent)
    if (auto* nav = dynamic_cast<UINavigationController*>(c)) return nav;
  return nullptr;
}

}  // namespace platform
