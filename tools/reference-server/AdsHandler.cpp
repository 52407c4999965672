#include "AdsHandler.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>

#include "CatalogAnswers.h"
#include "ContentHash.h"
#include "Foundation/FileManager.h"
#include "Network/URLEscaping.h"

namespace {

constexpr size_t kMaximumFeedSize = 1 << 20;

std::string md5Hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr) != 1) return {};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex.push_back(kDigits[digest[i] >> 4]);
    hex.push_back(kDigits[digest[i] & 0xF]);
  }
  return hex;
}

// Icon names are plain file names: no folders, nothing hidden.
bool isPlainName(const std::string& name) {
  return !name.empty() && name.front() != '.' && name.size() <= 128 &&
         std::all_of(name.begin(), name.end(), [](unsigned char c) {
           return std::isalnum(c) || c == '.' || c == '_' || c == '-' || c == '@';
         });
}

ServerAnswer bytesAnswer(std::string contentType, const std::string& text) {
  return ServerAnswer{200, std::move(contentType), platform::Bytes(text.begin(), text.end()),
                      false};
}

}  // namespace

AdsHandler::Parameters AdsHandler::orderedParameters(const std::string& target) {
  Parameters parameters;
  size_t question = target.find('?');
  if (question == std::string::npos) return parameters;
  std::string_view query = std::string_view(target).substr(question + 1);
  while (!query.empty()) {
    size_t amp = query.find('&');
    std::string_view pair = query.substr(0, amp);
    if (!pair.empty()) {
      size_t equals = pair.find('=');
      std::string_view key = pair.substr(0, equals);
      std::string_view value = equals == std::string_view::npos ? "" : pair.substr(equals + 1);
      parameters.emplace_back(platform::URLEscaping::stringByReplacingPercentEscapes(key),
                              platform::URLEscaping::stringByReplacingPercentEscapes(value));
    }
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return parameters;
}

std::string AdsHandler::signature(const Parameters& parameters, const std::string& salt) {
  std::string input;
  for (const auto& [key, value] : parameters)
    input += platform::URLEscaping::stringByReplacingPercentEscapes(value);
  return md5Hex(input + salt);
}

ServerAnswer AdsHandler::answer(const ServerRequest& request,
                                const std::string& remoteAddress) const {
  if (request.method != "GET" && request.method != "HEAD") return ServerAnswer::notFound();
  std::string_view path = request.path;
  if (!path.starts_with(kPathPrefix)) return ServerAnswer::notFound();
  std::string name(path.substr(std::string_view(kPathPrefix).size()));
  if (name == "version.php" || name == "info.php") {
    std::optional<std::string> text = feed();
    if (!text) return ServerAnswer::notFound();
    if (name == "info.php") return bytesAnswer("text/xml; charset=utf-8", *text);
    std::string digest =
        ContentHash::sha256Hex(platform::Bytes(text->begin(), text->end())).value_or("");
    return bytesAnswer("text/plain", digest.substr(0, 16));
  }
  if (name == "stats.php") return stats(request, remoteAddress);
  if (name.starts_with("icons/")) return icon(name.substr(6));
  return ServerAnswer::notFound();
}

std::optional<std::string> AdsHandler::feed() const {
  auto data = platform::FileManager::contentsAtPath(_folder + "/feed.xml", kMaximumFeedSize);
  if (!data) return std::nullopt;
  std::string text(data->begin(), data->end());
  std::string_view placeholder = kServerPlaceholder;
  for (size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + _rootURL.size()))
    text.replace(at, placeholder.size(), _rootURL);
  return text;
}

ServerAnswer AdsHandler::stats(const ServerRequest& request,
                               const std::string& remoteAddress) const {
  Parameters parameters = orderedParameters(request.target);
  auto hash = std::find_if(parameters.begin(), parameters.end(),
                           [](const auto& parameter) { return parameter.first == "hash"; });
  if (hash == parameters.end()) return ServerAnswer::text(403, "missing hash\n");
  std::string given = hash->second;
  parameters.erase(hash);
  if (given != signature(parameters, _salt)) return ServerAnswer::text(403, "wrong hash\n");
  if (!_store || !_store->store(remoteAddress, parameters))
    return ServerAnswer::text(500, "the report cannot be stored\n");
  return ServerAnswer::text(200, "ok\n");
}

ServerAnswer AdsHandler::icon(const std::string& name) const {
  if (!isPlainName(name)) return ServerAnswer::notFound();
  auto data = platform::FileManager::contentsAtPath(_folder + "/icons/" + name, kMaximumFeedSize);
  if (!data) return ServerAnswer::notFound();
  return ServerAnswer{200, std::string(CatalogAnswers::mimeType(name)), std::move(*data), false};
}
