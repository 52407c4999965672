#pragma once

#include <functional>
#include <string>
#include <vector>

#include "UI/UIApplication.h"
#include "UI/UIApplicationDelegate.h"

namespace host_test {

// An application delegate that writes down each lifecycle call it gets, in order, and lets the
// test build the screen when launching.
class LifecycleRecorder : public platform::UIApplicationDelegate {
 public:
  explicit LifecycleRecorder(std::function<void()> buildScreen = nullptr)
      : _buildScreen(std::move(buildScreen)) {}

  bool applicationDidFinishLaunching(platform::UIApplication&,
                                     const platform::Dictionary&) override {
    calls.push_back("didFinishLaunching");
    if (_buildScreen) _buildScreen();
    return true;
  }
  void applicationDidBecomeActive(platform::UIApplication&) override {
    calls.push_back("didBecomeActive");
  }
  void applicationWillResignActive(platform::UIApplication&) override {
    calls.push_back("willResignActive");
  }
  void applicationDidEnterBackground(platform::UIApplication&) override {
    calls.push_back("didEnterBackground");
  }
  void applicationWillEnterForeground(platform::UIApplication&) override {
    calls.push_back("willEnterForeground");
  }
  void applicationWillTerminate(platform::UIApplication&) override {
    calls.push_back("willTerminate");
  }

  std::vector<std::string> calls;

 private:
  std::function<void()> _buildScreen;
};

}  // namespace host_test
