#include "Graphics/Image.h"

#include <cmath>

namespace platform {

std::shared_ptr<Image> Image::imageWithBitmap(std::shared_ptr<const Bitmap> bitmap, double scale,
                                              ImageOrientation orientation) {
  if (!bitmap) return nullptr;
  if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
  int o = static_cast<int>(orientation);
  if (o < 0 || o > 7) orientation = ImageOrientation::Up;
  return std::make_shared<Image>(std::move(bitmap), scale, orientation);
}

Size Image::size() const {
  double w = pixelWidth() / _scale, h = pixelHeight() / _scale;
  return isSideways(_orientation) ? Size{h, w} : Size{w, h};
}

}  // namespace platform
