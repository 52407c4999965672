// Reads arbitrary bytes as a string table; what reads must write back as a table that reads the
// same (so every key and value came out as whole, valid text).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Foundation/StringsTable.h"

namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  auto entries = platform::StringsTable::read(platform::Bytes(data, data + size));
  if (!entries) return 0;
  std::string written;
  for (const auto& [key, value] : *entries) written += quoted(key) + " = " + quoted(value) + ";\n";
  auto again = platform::StringsTable::read(platform::Bytes(written.begin(), written.end()));
  if (!again || *again != *entries) std::abort();
  return 0;
}
