#pragma once

#include "Foundation/Value.h"

namespace platform {

class UIApplication;

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
};

}  // namespace platform
