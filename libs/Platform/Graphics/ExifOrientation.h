#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "Graphics/Image.h"

namespace platform {

// The orientation a camera wrote into a JPEG file's EXIF block (tag 0x0112 of the first
// directory), as the toolkit's image orientation. Read by libexif.
class ExifOrientation {
 public:
  // `block` is the payload of an APP1 segment, starting with "Exif\0\0". Nothing for other
  // segments, blocks without the tag, values outside 1 to 8 and damaged blocks.
  static std::optional<ImageOrientation> fromExifBlock(const std::uint8_t* block, size_t size);
  // EXIF's numbering (1 to 8) to the toolkit's; nothing outside it.
  static std::optional<ImageOrientation> fromExifValue(int value);
};

}  // namespace platform
