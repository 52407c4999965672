#include "Network/URLEscaping.h"

#include <curl/curl.h>

#include <climits>

namespace platform::URLEscaping {

std::string stringByAddingPercentEscapes(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  char* escaped = curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size()));
  if (!escaped) return {};
  std::string result(escaped);
  curl_free(escaped);
  return result;
}

std::string stringByReplacingPercentEscapes(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  int length = 0;
  char* plain = curl_easy_unescape(nullptr, text.data(), static_cast<int>(text.size()), &length);
  if (!plain) return {};
  std::string result(plain, static_cast<size_t>(length));
  curl_free(plain);
  return result;
}

}  // namespace platform::URLEscaping
