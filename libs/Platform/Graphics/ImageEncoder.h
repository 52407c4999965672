#pragma once

#include <optional>

#include "Foundation/Value.h"
#include "Graphics/Image.h"

namespace platform {

// PNG and JPEG encoding of an image's stored pixels (the orientation is not applied).
class ImageEncoder {
 public:
  // How hard PNG encoding compresses: zlib's default for pictures that are kept, a fast level
  // for screenshots and previews that are written often and read once.
  enum class PngCompression { Default, Fast };

  // One compression pass, whatever the level.
  static std::optional<Bytes> pngData(const Image& image,
                                      PngCompression compression = PngCompression::Default);
  // `quality` from 0 to 1. Alpha is dropped: premultiplied pixels come out over black.
  static std::optional<Bytes> jpegData(const Image& image, double quality = 0.9);
};

}  // namespace platform
