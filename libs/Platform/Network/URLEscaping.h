#pragma once

#include <string>
#include <string_view>

// Percent escapes for URL query values, by libcurl's rules: everything but letters, digits and
// "-._~" is escaped, so a value can never break the query it goes into.
namespace platform::URLEscaping {

// The UTF-8 bytes with every reserved character percent-escaped (a space becomes "%20").
std::string stringByAddingPercentEscapes(std::string_view text);
// Percent escapes undone; a "%" not followed by two hexadecimal digits stays as it is.
std::string stringByReplacingPercentEscapes(std::string_view text);

}  // namespace platform::URLEscaping
