#pragma once

#include <cstdint>
#include <string_view>

#include "Foundation/Value.h"

namespace platform {

// Writes values into a keyed archive: a binary property list whose top holds the archived
// entries by key. An archivable object is written as a dictionary carrying its class name
// ("$class") and the entries it encodes under its own keys, so that it can be revived through
// ArchivableRegistry. Keys are free-form: ones beginning with "$" are escaped.
class KeyedArchiver {
 public:
  KeyedArchiver();
  ~KeyedArchiver();
  KeyedArchiver(const KeyedArchiver&) = delete;
  KeyedArchiver& operator=(const KeyedArchiver&) = delete;

  void encodeObject(const Value& value, std::string_view key);
  // The same as encodeObject() with the dictionary as a value, without copying it first.
  void encodeDictionary(const Dictionary& dictionary, std::string_view key);
  void encodeBool(bool value, std::string_view key);
  void encodeInteger(std::int64_t value, std::string_view key);
  void encodeInt32(std::int32_t value, std::string_view key);
  void encodeDouble(double value, std::string_view key);

  // The archive's bytes. Only for an archiver made with the public constructor.
  Bytes finishEncoding() const;

  static Bytes archivedDataWithRootObject(const Value& root, std::string_view key = "root");

 private:
  friend class KeyedArchiverAccess;
  KeyedArchiver(void* dictionary, int depth);

  void* _root = nullptr;        // owned by a top-level archiver
  void* _dictionary = nullptr;  // where this archiver's keys go
  int _depth = 0;
};

}  // namespace platform
