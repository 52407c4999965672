#pragma once

#include "App/AppDelegateBase.h"

// Pictavia's application delegate: launches the vendors' services and the main screen, keeps
// the catalogue in step on every activation and trims the picture cache when memory runs low
// or the application leaves the screen.
class PictaviaAppDelegate : public AppDelegateBase {
 public:
  // The push service's key for the launch options in its take-off options.
  static constexpr const char* kTakeOffLaunchOptionsKey = "UAirshipTakeOffOptionsLaunchOptionsKey";
  // Badge, sound and alert.
  static constexpr int kRemoteNotificationTypes = 7;

  bool applicationDidFinishLaunching(platform::UIApplication& application,
                                     const platform::Dictionary& options) override;
  void applicationDidBecomeActive(platform::UIApplication& application) override;
  void applicationDidEnterBackground(platform::UIApplication& application) override;
  void applicationWillTerminate(platform::UIApplication& application) override;
  void applicationDidReceiveMemoryWarning(platform::UIApplication& application) override;
  // The push service's answers to the registration.
  void applicationDidRegisterForRemoteNotificationsWithDeviceToken(const platform::Bytes& token);
  void applicationDidFailToRegisterForRemoteNotificationsWithError(int code);
};
