#pragma once

#include <optional>
#include <string>
#include <string_view>

// The MD5 digest of a string, as the string class's extension offers it.
namespace MD5Additions {

// The MD5 of the UTF-8 bytes as 32 lower-case hexadecimal digits; nothing for an empty string.
std::optional<std::string> stringFromMD5(std::string_view text);

}  // namespace MD5Additions
