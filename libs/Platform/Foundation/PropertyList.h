#pragma once

#include <optional>
#include <string>

#include "Foundation/Value.h"

namespace platform {

// Ordinary property lists (XML or binary), such as the bundle's Info.plist.
class PropertyList {
 public:
  // The value of XML or binary property-list bytes; nothing when they are not one.
  static std::optional<Value> read(const Bytes& data);
  static std::optional<Value> readFile(const std::string& path);
  // Binary property-list bytes. Null and objects have no property-list form and become empty
  // dictionaries.
  static Bytes binaryData(const Value& value);
};

}  // namespace platform
