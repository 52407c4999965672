#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "GeneralTools/AppDelegateScreens.h"
#include "UI/UIApplicationDelegate.h"
#include "UI/UINavigationController.h"
#include "UI/UIWindow.h"

// The reusable part of an application delegate: the window, the navigation controller, the
// launch picture fading out, the portrait-only policy and the lifecycle handed on to Tools and
// to the screen on top.
class AppDelegateBase : public platform::UIApplicationDelegate, public AppDelegateScreens {
 public:
  static constexpr double kSplashFadeDuration = 0.5;

  // Starts Tools, then makes the window (of the class WindowClassName names) key and visible.
  bool applicationDidFinishLaunching(platform::UIApplication& application,
                                     const platform::Dictionary& options) override;
  void applicationDidEnterBackground(platform::UIApplication& application) override;
  void applicationWillEnterForeground(platform::UIApplication& application) override;
  void applicationWillTerminate(platform::UIApplication& application) override;
  void applicationDidReceiveMemoryWarning(platform::UIApplication&) override {}
  // Each orientation n the policy allows adds the bit 1 << n.
  std::optional<platform::UIInterfaceOrientationMask> applicationSupportedInterfaceOrientations(
      platform::UIApplication& application, platform::UIWindow* window) override;

  // Portrait only.
  bool canUseInterfaceOrientation(platform::UIInterfaceOrientation orientation) const override;
  std::shared_ptr<platform::UINavigationController> navigationController() const override {
    return _navigationController;
  }
  // This application has no tabs: always none.
  std::shared_ptr<platform::UIViewController> tabBarController() const override {
    return _tabBarController;
  }
  const std::shared_ptr<platform::UIWindow>& mainWindow() const { return _window; }

  // The class name of the window; "UIWindow" unless a subclass says otherwise.
  virtual std::string WindowClassName() const { return "UIWindow"; }
  void initNavigationControllerWithRootViewController(
      std::shared_ptr<platform::UIViewController> screen);
  // Lays the launch picture over the window and fades it out; `completion` runs afterwards
  // whether or not the fade finished.
  void showAndFadeoutDefaultImage(std::function<void()> completion = nullptr);
  // The launch picture for the current device; none when the bundle has none.
  static std::shared_ptr<platform::Image> defaultImage();

 private:
  // The screen that is seen: the presented one, else the navigation controller's top one.
  platform::UIViewController* visibleScreen() const;

  std::shared_ptr<platform::UIWindow> _window;
  std::shared_ptr<platform::UINavigationController> _navigationController;
  std::shared_ptr<platform::UIViewController> _tabBarController;
};
