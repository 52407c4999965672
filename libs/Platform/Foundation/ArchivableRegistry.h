#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Foundation/Object.h"

namespace platform {

class KeyedUnarchiver;

// Class name -> how to revive an object of that class from its keyed archive. A class registers
// itself before the first archive holding it is read.
class ArchivableRegistry {
 public:
  // Returns the revived object, or null when the archive is not acceptable to the class.
  using Factory = std::function<std::shared_ptr<Archivable>(const KeyedUnarchiver& coder)>;

  static void registerClass(std::string className, Factory factory);
  static Factory factoryForClass(std::string_view className);
};

}  // namespace platform
