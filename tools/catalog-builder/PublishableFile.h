#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/Value.h"

// One file of a content folder as the publisher takes it: read without following symbolic
// links (a link could publish any file of the machine), and refused when it is not a plain
// file, cannot be read, is empty, is larger than a device accepts, or is a PNG or JPEG picture
// that does not decode. Every device would fail on such a file forever.
class PublishableFile {
 public:
  // The most a device takes for one content file (the program's own limit, App/Config).
  static constexpr size_t kMaximumSize = size_t{32} << 20;

  // The file's bytes; none, with the reason in `reason`, when it cannot be published.
  // `checkPictures` false skips the decoding (the other checks remain).
  static std::optional<platform::Bytes> read(const std::string& path, std::string_view name,
                                             bool checkPictures, std::string& reason);
};
