#include "UI/UIViewController.h"

#include "Foundation/Console.h"
#include "UI/InterfaceLoader.h"
#include "UI/UINavigationController.h"
#include "UI/UIScreen.h"

namespace platform {

UIViewController::~UIViewController() {
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

void UIViewController::registerOutlets(OutletRegistry& outlets) { outlets.add("view", _nibView); }

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
    if (_appearance == Appearance::Disappearing || _appearance == Appearance::Disappeared)
      return;
    _appearance = Appearance::Disappearing;
    _appearanceAnimated = animated;
    viewWillDisappear(animated);
  }
  if (UIViewController* child = appearanceChild()) child->beginAppearanceTransition(appearing, animated);
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
  if (UIViewController* child = appearanceChild()) child->endAppearanceTransition();
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
