#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Network/HTTPHeaderFields.h"

namespace platform {

// The head of an HTTP response: what arrives before the body.
struct URLResponse {
  std::string url;
  int statusCode = 0;
  // Header fields in the order and spelling they were received.
  HTTPHeaderFields headers;
  // The media type of "Content-Type" without parameters, lower case ("application/json").
  std::string mimeType;
  // The length the server announced, or -1 when it announced none.
  std::int64_t expectedContentLength = -1;

  // The value of the first header field with that name, compared without regard to case.
  std::optional<std::string> valueForHTTPHeaderField(std::string_view name) const;

  // Fills mimeType and expectedContentLength from the header fields.
  void deriveFieldsFromHeaders();
};

}  // namespace platform
