#include "App/PictaviaAppDelegate.h"

#include <vector>

#include "Config/Config.h"
#include "Content/ContentControl.h"
#include "GeneralTools/Tools.h"
#include "Imaging/ImageCache.h"
#include "UI/ViewControllerRegistry.h"

using namespace platform;

bool PictaviaAppDelegate::applicationDidFinishLaunching(UIApplication& application,
                                                        const Dictionary& options) {
  AppDelegateBase::applicationDidFinishLaunching(application, options);
  if (const auto& services = Tools::Instance().vendorServices()) {
    services->startAttribution(std::vector<long long>(std::begin(Config::kAttributionIdentifiers),
                                                      std::end(Config::kAttributionIdentifiers)));
    services->takeOffPush(Dictionary{{kTakeOffLaunchOptionsKey, Value(options)}});
    services->registerForRemoteNotificationTypes(kRemoteNotificationTypes);
  }
  std::shared_ptr<UIViewController> main =
      Tools::isIPhone5Screen()
          ? ViewControllerRegistry::create("MainViewController", "MainViewController_iphone5",
                                           Bundle::mainBundle())
          : Tools::loadViewControllerNamed("MainViewController");
  initNavigationControllerWithRootViewController(std::move(main));
  showAndFadeoutDefaultImage();
  return true;
}

void PictaviaAppDelegate::applicationDidBecomeActive(UIApplication&) {
  ContentControl::Instance()->updateServerContent();
}

void PictaviaAppDelegate::applicationDidEnterBackground(UIApplication& application) {
  AppDelegateBase::applicationDidEnterBackground(application);
  ImageCache::Instance().cleanCache();
}

void PictaviaAppDelegate::applicationWillTerminate(UIApplication& application) {
  if (const auto& services = Tools::Instance().vendorServices()) services->landPush();
  AppDelegateBase::applicationWillTerminate(application);
}

void PictaviaAppDelegate::applicationDidReceiveMemoryWarning(UIApplication& application) {
  AppDelegateBase::applicationDidReceiveMemoryWarning(application);
  ImageCache::Instance().cleanCache();
}

void PictaviaAppDelegate::applicationDidRegisterForRemoteNotificationsWithDeviceToken(
    const Bytes& token) {
  Tools::Instance().eventHappened("didRegisterForRemoteNotificationsWithDeviceToken", std::nullopt,
                                  0);
  if (const auto& services = Tools::Instance().vendorServices())
    services->registerDeviceToken(token);
}

void PictaviaAppDelegate::applicationDidFailToRegisterForRemoteNotificationsWithError(int code) {
  Tools::Instance().eventHappened("didFailToRegisterForRemoteNotificationsWithError",
                                  "error code: " + std::to_string(code), 0);
}
