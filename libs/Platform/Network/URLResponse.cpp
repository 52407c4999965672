#include "Network/URLResponse.h"

#include <cctype>
#include <charconv>

namespace platform {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> URLResponse::valueForHTTPHeaderField(std::string_view name) const {
  auto field = findHTTPHeaderField(headers, name);
  if (field == headers.end()) return std::nullopt;
  return field->second;
}

void URLResponse::deriveFieldsFromHeaders() {
  mimeType.clear();
  if (auto type = valueForHTTPHeaderField("Content-Type")) {
    std::string_view media = *type;
    media = trimmed(media.substr(0, media.find(';')));
    for (char c : media)
      mimeType.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  expectedContentLength = -1;
  if (auto length = valueForHTTPHeaderField("Content-Length")) {
    std::string_view digits = trimmed(*length);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc() && end == digits.data() + digits.size() && value >= 0)
      expectedContentLength = value;
  }
}

}  // namespace platform
