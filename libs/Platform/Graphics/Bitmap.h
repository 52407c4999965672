#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

// How a bitmap stores its pixels. The 32-bit formats are the drawing library's native words
// (0xAARRGGBB in machine byte order): with premultiplied alpha, or with the alpha byte ignored.
enum class PixelFormat { ARGB32Premultiplied, RGB24, Grey8 };

// A block of pixels, rows top to bottom. Zeroed when made: transparent, or black without alpha.
class Bitmap {
 public:
  // Pictures above this many pixels are refused: a phone could not hold them, and a hostile
  // file must not exhaust memory.
  static constexpr std::uint64_t kMaxPixels = std::uint64_t{64} << 20;
  // The longest side a canvas can draw (cairo's limit); decoders refuse longer pictures.
  static constexpr int kMaxDrawableSide = 32767;

  // The pixel count covering `points` at `scale` (rounded up); 0 for a length that is not finite,
  // not positive or longer than kMaxDrawableSide, so that no cast sees an out-of-range value.
  static int pixelLength(double points, double scale);

  // Null for a size that is not positive or exceeds kMaxPixels.
  static std::shared_ptr<Bitmap> create(int width, int height, PixelFormat format);

  int width() const { return _width; }
  int height() const { return _height; }
  PixelFormat format() const { return _format; }
  size_t bytesPerRow() const { return _bytesPerRow; }
  size_t bytesPerPixel() const { return _format == PixelFormat::Grey8 ? 1 : 4; }
  bool hasAlpha() const { return _format == PixelFormat::ARGB32Premultiplied; }

  std::uint8_t* data() { return _data.data(); }
  const std::uint8_t* data() const { return _data.data(); }
  std::uint8_t* row(int y) { return _data.data() + static_cast<size_t>(y) * _bytesPerRow; }
  const std::uint8_t* row(int y) const {
    return _data.data() + static_cast<size_t>(y) * _bytesPerRow;
  }

  // The pixel as unpremultiplied 0xAARRGGBB (grey g reads as 0xFFgggggg); 0 outside the bitmap.
  std::uint32_t pixel(int x, int y) const;
  void setPixel(int x, int y, std::uint32_t argb);  // unpremultiplied 0xAARRGGBB

  // A grey bitmap as opaque 32-bit pixels, made on first use and kept, so drawing a grey
  // picture again copies nothing; any other bitmap is itself.
  const Bitmap& drawablePixels() const;

 private:
  Bitmap(int width, int height, PixelFormat format, size_t bytesPerRow);

  int _width, _height;
  PixelFormat _format;
  size_t _bytesPerRow;
  std::vector<std::uint8_t> _data;
  mutable std::once_flag _widenedOnce;
  mutable std::shared_ptr<Bitmap> _widened;
};

}  // namespace platform
