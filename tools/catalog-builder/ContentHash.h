#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Foundation/Value.h"

// Content addresses of catalogue files: SHA-256 of the bytes, as 64 lowercase hex digits.
namespace ContentHash {

std::optional<std::string> sha256Hex(const platform::Bytes& data);
// Whether the text has the form of a content address (so it can name a file safely).
bool isContentHash(std::string_view text);
// A random identifier of the same form, for telling catalogue folders apart.
std::optional<std::string> randomIdentifier();

}  // namespace ContentHash
