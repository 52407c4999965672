#include "App/AppDelegateBase.h"

#include <cmath>

#include "Foundation/Console.h"
#include "GeneralTools/Tools.h"
#include "Graphics/ImageNamed.h"
#include "Imaging/PV_Extensions.h"
#include "UI/UIImageView.h"
#include "UI/UIScreen.h"
#include "UI/ViewClassRegistry.h"

using namespace platform;

bool AppDelegateBase::applicationDidFinishLaunching(UIApplication&, const Dictionary&) {
  Tools::Instance().appStart();
  std::string name = WindowClassName();
  if (name != "UIWindow")
    _window = std::dynamic_pointer_cast<UIWindow>(ViewClassRegistry::create(name));
  else
    _window = std::make_shared<UIWindow>();
  if (!_window) {
    Console::logf("No window class \"%s\": a plain window is used", name.c_str());
    _window = std::make_shared<UIWindow>();
  }
  _window->setFrame(UIScreen::mainScreen().bounds());
  _window->makeKeyAndVisible();
  return true;
}

UIViewController* AppDelegateBase::visibleScreen() const {
  if (!_navigationController) return nullptr;
  if (const auto& presented = _navigationController->presentedViewController())
    return presented.get();
  return _navigationController->topViewController();
}

void AppDelegateBase::applicationDidEnterBackground(UIApplication&) {
  if (UIViewController* screen = visibleScreen()) {
    screen->beginAppearanceTransition(false, false);
    screen->endAppearanceTransition();
  }
  Tools::Instance().appGoToBackgound();
}

void AppDelegateBase::applicationWillEnterForeground(UIApplication&) {
  if (UIViewController* screen = visibleScreen()) {
    screen->beginAppearanceTransition(true, false);
    screen->endAppearanceTransition();
  }
  Tools::Instance().appGoToForeground();
}

void AppDelegateBase::applicationWillTerminate(UIApplication&) {
  Tools::Instance().appTerminate();
}

std::optional<UIInterfaceOrientationMask>
AppDelegateBase::applicationSupportedInterfaceOrientations(UIApplication&, UIWindow*) {
  UIInterfaceOrientationMask mask = 0;
  for (int n = 1; n <= 4; ++n)
    if (canUseInterfaceOrientation(static_cast<UIInterfaceOrientation>(n))) mask |= 1u << n;
  return mask;
}

bool AppDelegateBase::canUseInterfaceOrientation(UIInterfaceOrientation orientation) const {
  return orientation == UIInterfaceOrientation::Portrait;
}

void AppDelegateBase::initNavigationControllerWithRootViewController(
    std::shared_ptr<UIViewController> screen) {
  _navigationController = std::make_shared<UINavigationController>(std::move(screen));
  if (_window) _window->setRootViewController(_navigationController);
}

std::shared_ptr<Image> AppDelegateBase::defaultImage() {
  if (Tools::isIPad()) {
    if (auto image = imageNamed("Default.png")) return image;
    auto landscape = imageNamed("Default-Landscape.png");
    return landscape ? PV_Extensions::imageRotatedByRadians(landscape, -M_PI / 2) : nullptr;
  }
  if (Tools::isIPhone5Screen()) {
    if (auto image = Tools::hiresImageNamed("Default-568h.png")) return image;
  }
  return Tools::hiresImageNamed("Default.png");
}

void AppDelegateBase::showAndFadeoutDefaultImage(std::function<void()> completion) {
  auto image = defaultImage();
  if (!_window || !image) {
    if (completion) completion();
    return;
  }
  auto splash = std::make_shared<UIImageView>(image);
  splash->setFrame(_window->bounds());
  _window->addSubview(splash);
  UIView::animateWithDuration(
      kSplashFadeDuration, [&] { splash->setAlpha(0); },
      [splash, completion = std::move(completion)](bool finished) {
        if (finished) splash->removeFromSuperview();
        if (completion) completion();
      });
}
