#include "UI/UIWindow.h"

#include "UI/UIApplication.h"
#include "UI/UIScreen.h"

namespace platform {

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller) {
  if (controller == _root) return;
  if (_root && _root->isViewLoaded() && _root->view()->superview() == this)
    _root->view()->removeFromSuperview();
  _root = std::move(controller);
  if (!_root) return;
  const auto& view = _root->view();
  view->setFrame(UIScreen::mainScreen().applicationFrame());
  addSubview(view);
}

void UIWindow::makeKeyAndVisible() {
  setHidden(false);
  UIApplication::sharedApplication().setKeyWindow(
      std::static_pointer_cast<UIWindow>(shared_from_this()));
}

bool UIWindow::isKeyWindow() const {
  return UIApplication::sharedApplication().keyWindow().get() == this;
}

}  // namespace platform
