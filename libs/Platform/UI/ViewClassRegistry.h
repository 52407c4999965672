#pragma once

#include <functional>
#include <memory>
#include <string>

#include "UI/UIView.h"

namespace platform {

// View classes by name, for interface files. The toolkit's own classes are known from the
// start; libraries above add theirs with registerClass.
class ViewClassRegistry {
 public:
  using Factory = std::function<std::shared_ptr<UIView>()>;
  static void registerClass(const std::string& name, Factory factory);
  // A new view of the class, or null for a name nobody registered.
  static std::shared_ptr<UIView> create(const std::string& name);
  static bool isRegistered(const std::string& name);
};

}  // namespace platform
