#include "Graphics/Bitmap.h"

#include <cmath>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixel words assume little-endian");

namespace platform {

std::shared_ptr<Bitmap> Bitmap::create(int width, int height, PixelFormat format) {
  if (width <= 0 || height <= 0) return nullptr;
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPixels)
    return nullptr;
  size_t bytesPerPixel = format == PixelFormat::Grey8 ? 1 : 4;
  size_t bytesPerRow = (static_cast<size_t>(width) * bytesPerPixel + 3) & ~size_t{3};
  return std::shared_ptr<Bitmap>(new Bitmap(width, height, format, bytesPerRow));
}

int Bitmap::pixelLength(double points, double scale) {
  double pixels = std::ceil(points * scale);
  if (!std::isfinite(pixels) || pixels <= 0 || pixels > kMaxDrawableSide) return 0;
  return static_cast<int>(pixels);
}

const Bitmap& Bitmap::drawablePixels() const {
  if (_format != PixelFormat::Grey8) return *this;
  std::call_once(_widenedOnce, [this] {
    _widened = create(_width, _height, PixelFormat::RGB24);
    for (int y = 0; y < _height; ++y) {
      const std::uint8_t* in = row(y);
      std::uint8_t* out = _widened->row(y);
      for (int x = 0; x < _width; ++x) {
        std::uint32_t g = in[x];
        std::uint32_t word = 0xFF000000u | g << 16 | g << 8 | g;
        std::memcpy(out + 4 * static_cast<size_t>(x), &word, 4);
      }
    }
  });
  return *_widened;
}

Bitmap::Bitmap(int width, int height, PixelFormat format, size_t bytesPerRow)
    : _width(width),
      _height(height),
      _format(format),
      _bytesPerRow(bytesPerRow),
      _data(bytesPerRow * static_cast<size_t>(height), 0) {}

std::uint32_t Bitmap::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= _width || y >= _height) return 0;
  if (_format == PixelFormat::Grey8) {
    std::uint32_t g = row(y)[x];
    return 0xFF000000u | g << 16 | g << 8 | g;
  }
  std::uint32_t word;
  std::memcpy(&word, row(y) + 4 * static_cast<size_t>(x), 4);
  if (_format == PixelFormat::RGB24) return word | 0xFF000000u;
  std::uint32_t alpha = word >> 24;
  if (alpha == 0) return 0;
  auto unpremultiply = [alpha](std::uint32_t channel) {
    return std::min<std::uint32_t>(255, (channel * 255 + alpha / 2) / alpha);
  };
  return alpha << 24 | unpremultiply((word >> 16) & 0xFF) << 16 |
         unpremultiply((word >> 8) & 0xFF) << 8 | unpremultiply(word & 0xFF);
}

void Bitmap::setPixel(int x, int y, std::uint32_t argb) {
  if (x < 0 || y < 0 || x >= _width || y >= _height) return;
  std::uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  if (_format == PixelFormat::Grey8) {
    row(y)[x] = static_cast<std::uint8_t>((r * 77 + g * 150 + b * 29 + 128) >> 8);
    return;
  }
  std::uint32_t word;
  if (_format == PixelFormat::RGB24) {
    word = 0xFF000000u | r << 16 | g << 8 | b;
  } else {
    auto premultiply = [a](std::uint32_t channel) { return (channel * a + 127) / 255; };
    word = a << 24 | premultiply(r) << 16 | premultiply(g) << 8 | premultiply(b);
  }
  std::memcpy(row(y) + 4 * static_cast<size_t>(x), &word, 4);
}

}  // namespace platform
