#include "UI/UIWindow.h"

#include "UI/UIApplication.h"
#include "UI/UIScreen.h"

namespace platform {

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller) {
  if (controller == _root) return;
  if (_root) {
    _root->beginAppearanceTransition(false, false);
    if (_root->isViewLoaded() && _root->view()->superview() == this)
      _root->view()->removeFromSuperview();
    _root->endAppearanceTransition();
  }
  _root = std::move(controller);
  if (!_root) return;
  const auto& view = _root->view();
  view->setFrame(UIScreen::mainScreen().applicationFrame());
  addSubview(view);
  if (isKeyWindow() && !isHidden()) {
    _root->beginAppearanceTransition(true, false);
    _root->endAppearanceTransition();
  }
}

void UIWindow::makeKeyAndVisible() {
  setHidden(false);
  UIApplication::sharedApplication().setKeyWindow(
      std::static_pointer_cast<UIWindow>(shared_from_this()));
  // The root screen appears with the window.
  if (_root) {
    _root->beginAppearanceTransition(true, false);
    _root->endAppearanceTransition();
  }
}

bool UIWindow::isKeyWindow() const {
  return UIApplication::sharedApplication().keyWindow().get() == this;
}

}  // namespace platform
