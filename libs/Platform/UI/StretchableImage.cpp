#include "UI/StretchableImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

std::shared_ptr<Image> StretchableImage::stretchableImageWithLeftCapWidth(
    const std::shared_ptr<Image>& image, int leftCapWidth, int topCapHeight) {
  if (!image) return nullptr;
  Size size = image->size();
  int left = std::clamp(leftCapWidth, 0, std::max(0, static_cast<int>(size.width) - 1));
  int top = std::clamp(topCapHeight, 0, std::max(0, static_cast<int>(size.height) - 1));
  return std::make_shared<StretchableImage>(*image, left, top);
}

std::shared_ptr<Image> StretchableImage::part(int column, int row, const Rect& source) const {
  std::shared_ptr<Image>& cached = _parts[row][column];
  if (cached) return cached;
  const Bitmap& pixels = bitmap();
  int x0 = static_cast<int>(std::lround(source.origin.x * scale()));
  int y0 = static_cast<int>(std::lround(source.origin.y * scale()));
  int x1 = std::min(pixels.width(), static_cast<int>(std::lround(source.maxX() * scale())));
  int y1 = std::min(pixels.height(), static_cast<int>(std::lround(source.maxY() * scale())));
  auto copy = Bitmap::create(x1 - x0, y1 - y0, pixels.format());
  if (!copy) return nullptr;
  size_t bytes = static_cast<size_t>(x1 - x0) * pixels.bytesPerPixel();
  for (int y = y0; y < y1; ++y)
    std::memcpy(copy->row(y - y0), pixels.row(y) + x0 * pixels.bytesPerPixel(), bytes);
  cached = Image::imageWithBitmap(std::move(copy), scale());
  return cached;
}

}  // namespace platform
