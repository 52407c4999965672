#include "Imaging/PV_Extensions.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "Foundation/Console.h"
#include "Foundation/DeviceProfile.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/ImageCanvas.h"

using platform::Bitmap;
using platform::BitmapContext;
using platform::Image;
using platform::ImageCanvas;
using platform::ImageCanvasScope;
using platform::PixelFormat;
using platform::Rect;
using platform::Size;

namespace PV_Extensions {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr float kLargestCanvasSide = 1 << 30;

// A target size in points converted to the screen's scale relative to the receiver's, as the
// covering and stretching canvases are sized: in double precision, kept in single.
void screenTarget(const Image& receiver, Size size, float& width, float& height) {
  double screen = static_cast<float>(platform::DeviceProfile::current().scale);
  double scale = static_cast<float>(receiver.scale());
  width = static_cast<float>(static_cast<float>(size.width) * screen / scale);
  height = static_cast<float>(static_cast<float>(size.height) * screen / scale);
}

// Draws the receiver with its orientation into `rect` of an opaque canvas of `width` × `height`
// points at the screen's scale, and answers what the canvas holds.
std::shared_ptr<Image> drawOnOpaqueCanvas(const Image& receiver, float width, float height,
                                          const Rect& rect) {
  ImageCanvasScope canvas(Size{width, height}, true, 0.0);
  if (canvas.context()) platform::drawImageInRect(receiver, rect);
  auto image = canvas.image();
  if (!image) platform::Console::log("could not scale image");
  return image;
}

// The mask's stored pixels as one grey sample each; colours are read by their luminance, over
// white where they are transparent.
std::vector<std::uint8_t> greySamples(const Bitmap& mask) {
  std::vector<std::uint8_t> samples(static_cast<size_t>(mask.width()) * mask.height());
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x) {
      std::uint32_t sample;
      if (mask.format() == PixelFormat::Grey8) {
        sample = mask.row(y)[x];
      } else {
        std::uint32_t argb = mask.pixel(x, y), a = argb >> 24;
        std::uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
        std::uint32_t luminance = (r * 77 + g * 150 + b * 29 + 128) >> 8;
        sample = (luminance * a + 255 * (255 - a) + 127) / 255;
      }
      samples[static_cast<size_t>(y) * mask.width() + x] = static_cast<std::uint8_t>(sample);
    }
  return samples;
}

// A stored pixel as a premultiplied 0xAARRGGBB word; pixels without alpha are opaque.
std::uint32_t premultipliedWord(const Bitmap& bitmap, int x, int y) {
  if (bitmap.format() == PixelFormat::Grey8) {
    std::uint32_t g = bitmap.row(y)[x];
    return 0xFF000000u | g << 16 | g << 8 | g;
  }
  std::uint32_t word;
  std::memcpy(&word, bitmap.row(y) + 4 * static_cast<size_t>(x), 4);
  return bitmap.format() == PixelFormat::RGB24 ? (word | 0xFF000000u) : word;
}

}  // namespace

std::shared_ptr<Image> imageAtRect(const std::shared_ptr<Image>& receiver, Rect rect) {
  if (!receiver || !rect.isFinite()) return nullptr;
  const Bitmap& source = receiver->bitmap();
  Rect r = rect.standardized();
  double x0 = std::max(std::floor(r.origin.x), 0.0);
  double y0 = std::max(std::floor(r.origin.y), 0.0);
  double x1 = std::min(std::ceil(r.origin.x + r.size.width), double(source.width()));
  double y1 = std::min(std::ceil(r.origin.y + r.size.height), double(source.height()));
  if (x1 <= x0 || y1 <= y0) return nullptr;
  int left = static_cast<int>(x0), top = static_cast<int>(y0);
  int width = static_cast<int>(x1) - left, height = static_cast<int>(y1) - top;
  auto cropped = Bitmap::create(width, height, source.format());
  if (!cropped) return nullptr;
  for (int y = 0; y < height; ++y)
    std::memcpy(cropped->row(y), source.row(top + y) + left * source.bytesPerPixel(),
                width * source.bytesPerPixel());
  return Image::imageWithBitmap(std::move(cropped), receiver->scale(), receiver->orientation());
}

std::shared_ptr<Image> imageByScalingProportionallyToMinimumSize(
    const std::shared_ptr<Image>& receiver, Size size) {
  // A null receiver's scale of 0 makes the canvas infinite, and so no image comes out.
  if (!receiver) {
    platform::Console::log("could not scale image");
    return nullptr;
  }
  float width, height;
  screenTarget(*receiver, size, width, height);
  Size own = receiver->size();
  float ownWidth = static_cast<float>(own.width), ownHeight = static_cast<float>(own.height);
  if (ownWidth == width && ownHeight == height)
    return Image::imageWithBitmap(receiver->sharedBitmap(), receiver->scale(),
                                  receiver->orientation());

  float fw = width / ownWidth, fh = height / ownHeight;
  float f = fw > fh ? fw : fh;
  float scaledWidth = ownWidth * f, scaledHeight = ownHeight * f;
  float x = 0, y = 0;
  if (fw > fh) {
    y = (height - scaledHeight) * 0.5f;
  } else if (fw < fh) {
    x = (width - scaledWidth) * 0.5f;
  }
  return drawOnOpaqueCanvas(*receiver, width, height, Rect(x, y, scaledWidth, scaledHeight));
}

std::shared_ptr<Image> imageByScalingProportionallyToSize(const std::shared_ptr<Image>& receiver,
                                                          Size size) {
  // A null receiver's size (0, 0) equals its target of (0, 0) at scale 0.
  if (!receiver) return receiver;
  float scale = static_cast<float>(receiver->scale());
  float targetWidth = static_cast<float>(size.width) * scale;
  float targetHeight = static_cast<float>(size.height) * scale;
  Size own = receiver->size();
  float width = static_cast<float>(own.width), height = static_cast<float>(own.height);
  if ((width == targetWidth && height == targetHeight) ||
      (width < targetWidth && height == targetHeight) ||
      (width == targetWidth && height < targetHeight))
    return receiver;

  float fw = targetWidth / width, fh = targetHeight / height;
  float f = fw < fh ? fw : fh;
  float newWidth = std::round(width * f), newHeight = std::round(height * f);
  float canvasWidth = newWidth, canvasHeight = newHeight;
  if (platform::isSideways(receiver->orientation())) std::swap(canvasWidth, canvasHeight);
  if (!(canvasWidth >= 1 && canvasHeight >= 1 && canvasWidth <= kLargestCanvasSide &&
        canvasHeight <= kLargestCanvasSide))
    return receiver;
  auto context =
      BitmapContext::create(static_cast<int>(canvasWidth), static_cast<int>(canvasHeight), true);
  if (!context) return receiver;
  context->drawImage(Rect(0, 0, canvasWidth, canvasHeight), *receiver);
  auto drawn = context->takeImage();
  if (!drawn) return receiver;
  return Image::imageWithBitmap(drawn->sharedBitmap(), receiver->scale(), receiver->orientation());
}

std::shared_ptr<Image> imageByScalingToSize(const std::shared_ptr<Image>& receiver, Size size) {
  if (!receiver) {  // scale 0: an infinite canvas, which cannot be made
    platform::Console::log("could not scale image");
    return nullptr;
  }
  float width, height;
  screenTarget(*receiver, size, width, height);
  return drawOnOpaqueCanvas(*receiver, width, height, Rect(0, 0, width, height));
}

std::shared_ptr<Image> imageRotatedByRadians(const std::shared_ptr<Image>& receiver,
                                             double radians) {
  float halfTurns = static_cast<float>(radians) * 180.0f;
  return imageRotatedByDegrees(receiver, static_cast<float>(halfTurns / kPi));
}

std::shared_ptr<Image> imageRotatedByDegrees(const std::shared_ptr<Image>& receiver,
                                             double degrees) {
  if (!receiver) return nullptr;  // size (0, 0): no canvas
  float theta = static_cast<float>(static_cast<float>(degrees) * kPi / 180);
  float cosine = static_cast<float>(std::cos(static_cast<double>(theta)));
  float sine = static_cast<float>(std::sin(static_cast<double>(theta)));
  Size own = receiver->size();
  float w = static_cast<float>(own.width), h = static_cast<float>(own.height);
  float canvasWidth = std::fabs(w * cosine) + std::fabs(h * sine);
  float canvasHeight = std::fabs(w * sine) + std::fabs(h * cosine);

  ImageCanvasScope canvas(Size{canvasWidth, canvasHeight});
  BitmapContext* context = canvas.context();
  if (!context) return nullptr;
  context->translateCTM(canvasWidth / 2, canvasHeight / 2);
  context->rotateCTM(theta);
  context->scaleCTM(1, -1);
  context->drawImage(Rect(-w / 2, -h / 2, w, h), *receiver);
  return canvas.image();
}

std::shared_ptr<Image> imageByMaskingUsingImage(const std::shared_ptr<Image>& receiver,
                                                const std::shared_ptr<Image>& mask) {
  if (!receiver || !mask) return nullptr;
  const Bitmap& source = receiver->bitmap();
  const Bitmap& maskBitmap = mask->bitmap();
  std::vector<std::uint8_t> samples = greySamples(maskBitmap);
  auto masked = Bitmap::create(source.width(), source.height(), PixelFormat::ARGB32Premultiplied);
  if (!masked) return nullptr;

  // The mask is stretched to the picture without interpolation: each pixel takes the mask
  // sample under its centre.
  int mw = maskBitmap.width(), mh = maskBitmap.height();
  std::vector<int> columns(source.width());
  for (int x = 0; x < source.width(); ++x)
    columns[x] = std::min(mw - 1, static_cast<int>((x + 0.5) * mw / source.width()));
  for (int y = 0; y < source.height(); ++y) {
    int my = std::min(mh - 1, static_cast<int>((y + 0.5) * mh / source.height()));
    const std::uint8_t* maskRow = samples.data() + static_cast<size_t>(my) * mw;
    std::uint8_t* out = masked->row(y);
    for (int x = 0; x < source.width(); ++x) {
      std::uint32_t word = premultipliedWord(source, x, y);
      std::uint32_t visibility = 255u - maskRow[columns[x]];
      std::uint32_t result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        std::uint32_t channel = (word >> shift) & 0xFF;
        result |= ((channel * visibility + 127) / 255) << shift;
      }
      std::memcpy(out + 4 * static_cast<size_t>(x), &result, 4);
    }
  }
  return Image::imageWithBitmap(std::move(masked), receiver->scale(), receiver->orientation());
}

}  // namespace PV_Extensions
