#include "Network/URLRequest.h"

namespace platform {

void URLRequest::setValueForHTTPHeaderField(std::string value, std::string_view field) {
  for (auto& [name, current] : headers) {
    if (httpFieldNamesEqual(name, field)) {
      current = std::move(value);
      return;
    }
  }
  headers.emplace_back(std::string(field), std::move(value));
}

std::optional<std::string> URLRequest::valueForHTTPHeaderField(std::string_view field) const {
  auto found = findHTTPHeaderField(headers, field);
  if (found == headers.end()) return std::nullopt;
  return found->second;
}

}  // namespace platform
