#pragma once

#include <map>
#include <optional>
#include <string>

#include "Foundation/Value.h"

namespace platform {

// A string table in the platform's text format ("Name.strings"): entries `"key" = "value";`
// with `/* */` and `//` comments and the escapes \" \\ \' \n \r \t and \Uxxxx (UTF-16 units,
// so a pair of them spells a character beyond the basic plane). The bytes are UTF-8, or UTF-16
// in either byte order when they start with its byte-order mark; a UTF-8 mark is skipped.
// A later entry for the same key replaces an earlier one.
class StringsTable {
 public:
  using Entries = std::map<std::string, std::string, std::less<>>;

  struct Failure {
    int line = 0;  // 1-based line of the bytes where the fault was found
    std::string reason;
  };

  // The entries, or nothing (with the fault in `failure`) when the bytes are not a whole,
  // well-formed table: one bad entry refuses the table, so no half-read table is ever used.
  static std::optional<Entries> read(const Bytes& data, Failure* failure = nullptr);
  // The table in a file; nothing when the file is missing or unreadable, and when it is
  // malformed, which is also said on the console with the file and the line.
  static std::optional<Entries> readFile(const std::string& path);
};

}  // namespace platform
