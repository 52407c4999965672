#include "UI/UIApplication.h"
#include "UI/UINavigationController.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

// The screen the user sees in `window`: what is presented over the root, or the top of a
// navigation stack.
UIViewController* screenOnTop(UIWindow* window) {
  UIViewController* screen = window ? window->rootViewController().get() : nullptr;
  while (screen) {
    if (const auto& presented = screen->presentedViewController()) {
      screen = presented.get();
    } else if (auto* nav = dynamic_cast<UINavigationController*>(screen);
               nav && nav->topViewController()) {
      screen = nav->topViewController();
    } else {
      break;
    }
  }
  return screen;
}

constexpr UIInterfaceOrientation kOrientations[] = {
    UIInterfaceOrientation::Portrait, UIInterfaceOrientation::PortraitUpsideDown,
    UIInterfaceOrientation::LandscapeRight, UIInterfaceOrientation::LandscapeLeft};

}  // namespace

UIInterfaceOrientationMask UIApplication::supportedInterfaceOrientationsForWindow(
    UIWindow* window) {
  if (_delegate)
    if (auto mask = _delegate->applicationSupportedInterfaceOrientations(*this, window))
      return *mask;
  UIViewController* screen = screenOnTop(window);
  if (!screen) return UIInterfaceOrientationMaskPortrait;
  UIInterfaceOrientationMask mask = 0;
  for (auto orientation : kOrientations)
    if (screen->shouldAutorotateToInterfaceOrientation(orientation))
      mask |= maskForOrientation(orientation);
  return mask;
}

bool UIApplication::shouldRotateToOrientation(UIInterfaceOrientation orientation) {
  UIWindow* window = _keyWindow.get();
  if (!(supportedInterfaceOrientationsForWindow(window) & maskForOrientation(orientation)))
    return false;
  UIViewController* screen = screenOnTop(window);
  return screen ? screen->shouldAutorotateToInterfaceOrientation(orientation)
                : orientation == UIInterfaceOrientation::Portrait;
}

}  // namespace platform
