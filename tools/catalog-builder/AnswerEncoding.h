#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "Foundation/Value.h"

// How JSON answers travel: as text, or gzip-compressed when the text is larger than a
// threshold. The compressed form carries the protocol's own "Content-Encoding" value.
struct AnswerEncoding {
  static constexpr std::string_view kJSONType = "application/json";
  static constexpr std::string_view kGzipEncoding = "application/gzip";
  static constexpr size_t kDefaultGzipThreshold = 1024;

  platform::Bytes body;
  bool gzip = false;

  // The JSON text of the value, compressed when longer than `gzipThreshold` bytes. Nothing
  // when the value cannot be written as JSON or compression fails.
  static std::optional<AnswerEncoding> encodeJSON(const platform::Value& value,
                                                  size_t gzipThreshold);
  // A gzip member (RFC 1952) holding the data.
  static std::optional<platform::Bytes> gzipped(const platform::Bytes& data);
};
