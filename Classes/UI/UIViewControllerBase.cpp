#include "AppUI/UIViewControllerBase.h"

#include <cstdlib>

#include "Foundation/Console.h"
#include "GeneralTools/AppDelegateScreens.h"
#include "GeneralTools/Tools.h"
#include "UI/StretchableImage.h"
#include "UI/UINavigationController.h"

using namespace platform;

void UIViewControllerBase::pushViewControllerNamed(const std::string& name, bool animated,
                                                   bool useDefaultBundle) {
  auto controller = Tools::loadViewControllerNamed(name, useDefaultBundle);
  if (!controller) {
    Console::logf("No screen class answers to \"%s\": cannot go on", name.c_str());
    std::exit(-1);
  }
  if (UINavigationController* navigation = navigationController())
    navigation->pushViewController(std::move(controller), animated);
}

void UIViewControllerBase::goBack() {
  if (auto block = hideBlock()) {
    block();
    return;
  }
  if (UINavigationController* navigation = navigationController())
    navigation->popViewControllerAnimated(true);
}

void UIViewControllerBase::registerActions(ActionRegistry& actions) {
  actions.add("goBack", [this](UIControl&) { goBack(); });
}

std::function<void()> UIViewControllerBase::hideBlock() const {
  std::lock_guard lock(_hideBlockMutex);
  return _hideBlock;
}

void UIViewControllerBase::setHideBlock(std::function<void()> block) {
  std::lock_guard lock(_hideBlockMutex);
  _hideBlock = std::move(block);
}

void UIViewControllerBase::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  Tools::Instance().itemAppear(*this);
}

void UIViewControllerBase::viewWillDisappear(bool animated) {
  UIViewController::viewWillDisappear(animated);
  Tools::Instance().itemDisappear(*this);
}

bool UIViewControllerBase::shouldAutorotateToInterfaceOrientation(
    UIInterfaceOrientation orientation) {
  if (AppDelegateScreens* delegate = AppDelegateScreens::current())
    return delegate->canUseInterfaceOrientation(orientation);
  return UIViewController::shouldAutorotateToInterfaceOrientation(orientation);
}

void UIViewControllerBase::stretchBtnsImages(UIButton& button, bool vertical, bool horizontal,
                                             UIControlState state) {
  auto image = button.backgroundImageForState(state);
  if (!image) return;
  Size size = image->size();
  int left = horizontal ? static_cast<int>(size.width / 2) : 0;
  int top = vertical ? static_cast<int>(size.height / 2) : 0;
  button.setBackgroundImage(StretchableImage::stretchableImageWithLeftCapWidth(image, left, top),
                            state);
}

void UIViewControllerBase::stretchBtnsImages(UIButton& button, bool vertical, bool horizontal) {
  for (UIControlState state :
       {UIControlStateNormal, UIControlStateHighlighted, UIControlStateSelected})
    stretchBtnsImages(button, vertical, horizontal, state);
}
