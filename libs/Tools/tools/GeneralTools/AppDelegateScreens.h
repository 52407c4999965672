#pragma once

#include <memory>

#include "UI/UIInterfaceOrientation.h"

namespace platform {
class UINavigationController;
class UIViewController;
}  // namespace platform

// What screens ask of the application delegate: the one orientation policy and the root
// containers that the shared loading indicator covers. A delegate that does not implement it
// leaves both to the platform.
class AppDelegateScreens {
 public:
  virtual ~AppDelegateScreens() = default;
  virtual bool canUseInterfaceOrientation(platform::UIInterfaceOrientation orientation) const = 0;
  virtual std::shared_ptr<platform::UINavigationController> navigationController() const = 0;
  // None unless the application is built around tabs.
  virtual std::shared_ptr<platform::UIViewController> tabBarController() const { return nullptr; }

  // The running application's delegate when it implements this, else null.
  static AppDelegateScreens* current();
};
