#pragma once

#include <memory>
#include <string>

#include "Foundation/Value.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

namespace platform {

// PNG and JPEG decoding. Colour pictures come out as 32-bit pixels (premultiplied when the file
// has alpha, alpha-less otherwise); one-channel grey pictures stay grey, which masks rely on.
// Corrupt data, and pictures above Bitmap::kMaxPixels, give no image. A JPEG's image carries
// the orientation its EXIF block names (the pixels stay as stored); other images are Up.
class ImageDecoder {
 public:
  // The format is recognised from the data's first bytes.
  static std::shared_ptr<Image> decode(const Bytes& data, double scale = 1);
  static std::shared_ptr<Image> decodePNG(const Bytes& data, double scale = 1);
  static std::shared_ptr<Image> decodeJPEG(const Bytes& data, double scale = 1);
  static std::shared_ptr<Image> imageWithContentsOfFile(const std::string& path, double scale = 1);

  // Reduced, keeping its proportions, to fit within `maxPixels` as shown (its orientation
  // applied: a sideways photo fits with its sides swapped), never enlarged; the orientation
  // stays on the image. A JPEG is decoded straight at the smallest DCT scale (1/8 to 8/8) that
  // still covers the fitted size, so a large photo is never held whole, then area-averaged.
  static std::shared_ptr<Image> decodeFittingSize(const Bytes& data, Size maxPixels,
                                                  double scale = 1);
};

}  // namespace platform
