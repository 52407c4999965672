#include "Graphics/ImageCanvas.h"

#include <cmath>
#include <vector>

#include "Foundation/DeviceProfile.h"

namespace platform {
namespace {

struct Canvas {
  std::unique_ptr<BitmapContext> context;  // null for a canvas that could not be made
  double scale = 1;
};

std::vector<Canvas>& stack() {
  thread_local std::vector<Canvas> canvases;
  return canvases;
}

// Where a shown point (X, Y), each 0 to 1 with Y downward, takes its stored pixel (u, v), each
// 0 to 1 with v downward: X = xu·u + xv·v + x0 and Y = yu·u + yv·v + y0.
struct OrientationMap {
  double xu, xv, x0, yu, yv, y0;
};

OrientationMap orientationMap(ImageOrientation orientation) {
  switch (orientation) {
    case ImageOrientation::Up:
      return {1, 0, 0, 0, 1, 0};
    case ImageOrientation::Down:
      return {-1, 0, 1, 0, -1, 1};
    case ImageOrientation::Left:
      return {0, 1, 0, -1, 0, 1};
    case ImageOrientation::Right:
      return {0, -1, 1, 1, 0, 0};
    case ImageOrientation::UpMirrored:
      return {-1, 0, 1, 0, 1, 0};
    case ImageOrientation::DownMirrored:
      return {1, 0, 0, 0, -1, 1};
    case ImageOrientation::LeftMirrored:
      return {0, 1, 0, 1, 0, 0};
    case ImageOrientation::RightMirrored:
      return {0, -1, 1, -1, 0, 1};
  }
  return {1, 0, 0, 0, 1, 0};
}

}  // namespace

void ImageCanvas::begin(Size size, bool opaque, double scale) {
  if (!(scale > 0) || !std::isfinite(scale)) scale = DeviceProfile::current().scale;
  Canvas canvas;
  canvas.scale = scale;
  double w = std::ceil(size.width * scale), h = std::ceil(size.height * scale);
  if (std::isfinite(w) && std::isfinite(h) && w >= 1 && h >= 1 && w <= 1 << 30 && h <= 1 << 30)
    canvas.context = BitmapContext::create(static_cast<int>(w), static_cast<int>(h), !opaque);
  if (canvas.context) {
    canvas.context->translateCTM(0, canvas.context->height());
    canvas.context->scaleCTM(scale, -scale);
  }
  stack().push_back(std::move(canvas));
}

BitmapContext* ImageCanvas::currentContext() {
  auto& canvases = stack();
  return canvases.empty() ? nullptr : canvases.back().context.get();
}

std::shared_ptr<Image> ImageCanvas::imageFromCurrentContext() {
  auto& canvases = stack();
  if (canvases.empty() || !canvases.back().context) return nullptr;
  auto image = canvases.back().context->makeImage();
  if (!image) return nullptr;
  return Image::imageWithBitmap(image->sharedBitmap(), canvases.back().scale);
}

void ImageCanvas::end() {
  auto& canvases = stack();
  if (!canvases.empty()) canvases.pop_back();
}

int ImageCanvas::depth() {
  return static_cast<int>(stack().size());
}

void drawImageInRect(const Image& image, const Rect& rect) {
  BitmapContext* context = ImageCanvas::currentContext();
  if (!context) return;
  drawImageInRect(*context, image, rect);
}

void drawImageInRect(BitmapContext& context, const Image& image, const Rect& rect) {
  if (rect.isEmpty()) return;
  // The stored pixels are drawn upright into (0, 0, pw, ph) of a space in which user point
  // (s, t) is stored pixel (u, v) = (s / pw, 1 − t / ph); this transform takes that space to
  // the shown place in `rect`.
  OrientationMap m = orientationMap(image.orientation());
  double pw = image.pixelWidth(), ph = image.pixelHeight();
  double w = rect.size.width, h = rect.size.height;
  AffineTransform t{w * m.xu / pw,
                    h * m.yu / pw,
                    -w * m.xv / ph,
                    -h * m.yv / ph,
                    rect.origin.x + w * (m.xv + m.x0),
                    rect.origin.y + h * (m.yv + m.y0)};
  GStateSaver saver(context);
  context.concatCTM(t);
  context.drawImage(Rect(0, 0, pw, ph), image);
}

}  // namespace platform
