#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/Value.h"

namespace platform {

// Reads a keyed archive written by KeyedArchiver. Objects are revived through the factory
// registered for their class name; an object of a class that no factory knows is kept as an
// UnarchivedObject, so that saving again writes it back unchanged.
class KeyedUnarchiver {
 public:
  // Null when the bytes are not a keyed archive.
  static std::unique_ptr<KeyedUnarchiver> unarchiverForReadingWithData(const Bytes& data);
  static std::optional<Value> unarchiveObjectWithData(const Bytes& data,
                                                      std::string_view key = "root");

  ~KeyedUnarchiver();

  bool containsValueForKey(std::string_view key) const;
  // The value under `key`: null when absent or malformed (then failed() becomes true).
  Value decodeObjectForKey(std::string_view key) const;
  // Typed reads: nothing when absent or of another kind.
  std::optional<bool> decodeBoolForKey(std::string_view key) const;
  std::optional<std::int64_t> decodeIntegerForKey(std::string_view key) const;
  // Nothing also when the stored integer does not fit 32 bits.
  std::optional<std::int32_t> decodeInt32ForKey(std::string_view key) const;
  std::optional<double> decodeDoubleForKey(std::string_view key) const;

  // Whether any read so far met a malformed or too deeply nested entry.
  bool failed() const;
  // The class name being decoded (empty for the top level).
  const std::string& className() const { return _className; }

 private:
  struct Root;
  KeyedUnarchiver(std::shared_ptr<Root> root, void* dictionary, int depth, std::string className);
  std::optional<Value> decode(void* node) const;

  std::shared_ptr<Root> _root;
  void* _dictionary;
  int _depth;
  std::string _className;
};

}  // namespace platform
