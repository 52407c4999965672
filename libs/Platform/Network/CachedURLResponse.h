#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/Value.h"

namespace platform {

// One HTTP response as the URL cache keeps it.
struct CachedURLResponse {
  std::string url;
  int statusCode = 0;
  // Header fields in the order and spelling they were received.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string mimeType;
  // The length the server announced, or -1 when it announced none.
  std::int64_t expectedContentLength = -1;
  Bytes data;
  // When the cache stored the response; the cache sets it on storing.
  Date storedDate;

  // The value of the first header field with that name, compared without regard to case.
  std::optional<std::string> valueForHTTPHeaderField(std::string_view name) const {
    for (const auto& [field, value] : headers) {
      if (field.size() != name.size()) continue;
      bool same = true;
      for (std::size_t i = 0; i < name.size() && same; ++i) {
        same = lower(field[i]) == lower(name[i]);
      }
      if (same) return value;
    }
    return std::nullopt;
  }

 private:
  static char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
};

}  // namespace platform
