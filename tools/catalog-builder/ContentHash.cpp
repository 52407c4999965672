#include "ContentHash.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

namespace ContentHash {
namespace {

std::string hex(const unsigned char* bytes, size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0xF]);
  }
  return text;
}

}  // namespace

std::optional<std::string> sha256Hex(const platform::Bytes& data) {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                  &EVP_MD_CTX_free);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1 ||
      EVP_DigestUpdate(context.get(), data.data(), data.size()) != 1 ||
      EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
    return std::nullopt;
  }
  return hex(digest, length);
}

bool isContentHash(std::string_view text) {
  if (text.size() != 64) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::optional<std::string> randomIdentifier() {
  unsigned char bytes[32];
  if (RAND_bytes(bytes, sizeof bytes) != 1) return std::nullopt;
  return hex(bytes, sizeof bytes);
}

}  // namespace ContentHash
