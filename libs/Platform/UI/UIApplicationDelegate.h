#pragma once

#include <optional>

#include "Foundation/Value.h"
#include "UI/UIInterfaceOrientation.h"

namespace platform {

class UIApplication;
class UIWindow;

// The application's lifecycle, told to its delegate on the main thread.
class UIApplicationDelegate {
 public:
  virtual ~UIApplicationDelegate() = default;
  virtual bool applicationDidFinishLaunching(UIApplication&, const Dictionary& /*options*/) {
    return true;
  }
  virtual void applicationDidBecomeActive(UIApplication&) {}
  virtual void applicationWillResignActive(UIApplication&) {}
  virtual void applicationDidEnterBackground(UIApplication&) {}
  virtual void applicationWillEnterForeground(UIApplication&) {}
  virtual void applicationWillTerminate(UIApplication&) {}
  virtual void applicationDidReceiveMemoryWarning(UIApplication&) {}
  // The orientations the window may take; nothing leaves it to the window's screens.
  virtual std::optional<UIInterfaceOrientationMask> applicationSupportedInterfaceOrientations(
      UIApplication&, UIWindow*) {
    return std::nullopt;
  }
};

}  // namespace platform
