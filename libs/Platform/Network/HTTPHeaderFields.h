#pragma once

#include <cctype>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

using HTTPHeaderFields = std::vector<std::pair<std::string, std::string>>;

// HTTP field names compare without regard to case.
inline bool httpFieldNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The first field with that name, or the end.
inline HTTPHeaderFields::const_iterator findHTTPHeaderField(const HTTPHeaderFields& fields,
                                                            std::string_view name) {
  for (auto it = fields.begin(); it != fields.end(); ++it) {
    if (httpFieldNamesEqual(it->first, name)) return it;
  }
  return fields.end();
}

}  // namespace platform
