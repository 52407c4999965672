#pragma once

#include <functional>
#include <memory>
#include <string>

#include "UI/UIViewController.h"

namespace platform {

// Screen controller classes by name, so that a screen can be opened from its class's name.
// The toolkit's own controllers are known from the start; the application adds its screens.
class ViewControllerRegistry {
 public:
  using Factory = std::function<std::shared_ptr<UIViewController>()>;
  static void registerClass(const std::string& name, Factory factory);
  // A new controller of the class, or null (with a console message) for an unknown name.
  static std::shared_ptr<UIViewController> create(const std::string& name);
  // The same, told which interface file to use (nothing: the one named like the class).
  static std::shared_ptr<UIViewController> create(const std::string& name,
                                                  std::optional<std::string> nibName,
                                                  std::shared_ptr<Bundle> bundle);
  static bool isRegistered(const std::string& name);
};

}  // namespace platform
