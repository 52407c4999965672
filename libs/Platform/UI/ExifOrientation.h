#pragma once

#include <optional>

#include "Foundation/Value.h"
#include "Graphics/Image.h"

namespace platform {

// The orientation a camera wrote into a JPEG file's EXIF block (tag 0x0112), as the toolkit's
// image orientation. Nothing for other files, files without the tag and damaged blocks.
class ExifOrientation {
 public:
  static std::optional<ImageOrientation> read(const Bytes& jpeg);
  // EXIF's numbering (1 to 8) to the toolkit's; nothing outside it.
  static std::optional<ImageOrientation> fromExifValue(int value);
};

}  // namespace platform
