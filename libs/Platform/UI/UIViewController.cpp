#include "UI/UIViewController.h"

#include "UI/UIScreen.h"

namespace platform {

const std::shared_ptr<UIView>& UIViewController::view() {
  if (!_view) {
    loadView();
    if (!_view) _view = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    viewDidLoad();
  }
  return _view;
}

void UIViewController::loadView() {
  _view = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
}

}  // namespace platform
