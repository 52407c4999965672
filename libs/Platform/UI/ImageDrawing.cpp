#include "UI/ImageDrawing.h"

#include <algorithm>
#include <cmath>

#include "Graphics/ImageCanvas.h"
#include "UI/StretchableImage.h"

namespace platform {
namespace {

void drawWhole(BitmapContext& context, const Image& image, const Rect& rect) {
  drawImageInRect(context, image, rect);
}

// Draws the part `source` (points of the shown picture) of the picture into `dest`.
void drawPart(BitmapContext& context, const Image& image, const Rect& source, const Rect& dest) {
  if (source.isEmpty() || dest.isEmpty()) return;
  Size size = image.size();
  double sx = dest.size.width / source.size.width, sy = dest.size.height / source.size.height;
  GStateSaver saver(context);
  context.beginPath();
  context.addRect(dest);
  context.clip();
  drawWhole(context, image,
            Rect(dest.origin.x - source.origin.x * sx, dest.origin.y - source.origin.y * sy,
                 size.width * sx, size.height * sy));
}

void drawStretched(BitmapContext& context, const StretchableImage& image, const Rect& rect) {
  Size size = image.size();
  double left = image.leftCapWidth(), top = image.topCapHeight();
  // Caps of 0 stretch everything in that direction; otherwise one point between the caps.
  double right = left > 0 ? std::max(0.0, size.width - left - 1) : 0;
  double bottom = top > 0 ? std::max(0.0, size.height - top - 1) : 0;
  double xs[4] = {0, left, size.width - right, size.width};
  double ys[4] = {0, top, size.height - bottom, size.height};
  double dw = rect.size.width, dh = rect.size.height;
  // Caps shrink in proportion when the rectangle is smaller than both caps together.
  double fx = left + right > dw && left + right > 0 ? dw / (left + right) : 1;
  double fy = top + bottom > dh && top + bottom > 0 ? dh / (top + bottom) : 1;
  double dx[4] = {rect.origin.x, rect.origin.x + left * fx, rect.origin.x + dw - right * fx,
                  rect.origin.x + dw};
  double dy[4] = {rect.origin.y, rect.origin.y + top * fy, rect.origin.y + dh - bottom * fy,
                  rect.origin.y + dh};
  bool upright = image.orientation() == ImageOrientation::Up;
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) {
      Rect source(xs[i], ys[j], xs[i + 1] - xs[i], ys[j + 1] - ys[j]);
      Rect dest(dx[i], dy[j], dx[i + 1] - dx[i], dy[j + 1] - dy[j]);
      if (source.isEmpty() || dest.isEmpty()) continue;
      auto part = upright ? image.part(i, j, source) : nullptr;
      if (part) {
        drawWhole(context, *part, dest);
      } else {
        drawPart(context, image, source, dest);
      }
    }
}

}  // namespace

void drawPicture(BitmapContext& context, const Image& image, const Rect& rect) {
  if (rect.isEmpty()) return;
  if (auto* stretchable = dynamic_cast<const StretchableImage*>(&image)) {
    if (stretchable->leftCapWidth() > 0 || stretchable->topCapHeight() > 0) {
      drawStretched(context, *stretchable, rect);
      return;
    }
  }
  drawWhole(context, image, rect);
}

Rect contentRect(UIViewContentMode mode, Size image, const Rect& bounds) {
  double bw = bounds.size.width, bh = bounds.size.height;
  double x = bounds.origin.x, y = bounds.origin.y;
  double w = image.width, h = image.height;
  switch (mode) {
    case UIViewContentMode::ScaleToFill:
    case UIViewContentMode::Redraw:
      return bounds;
    case UIViewContentMode::ScaleAspectFit:
    case UIViewContentMode::ScaleAspectFill: {
      if (w <= 0 || h <= 0) return bounds;
      double fit = std::min(bw / w, bh / h), fill = std::max(bw / w, bh / h);
      double s = mode == UIViewContentMode::ScaleAspectFit ? fit : fill;
      return Rect(x + (bw - w * s) / 2, y + (bh - h * s) / 2, w * s, h * s);
    }
    case UIViewContentMode::Center:
      return Rect(x + (bw - w) / 2, y + (bh - h) / 2, w, h);
    case UIViewContentMode::Top:
      return Rect(x + (bw - w) / 2, y, w, h);
    case UIViewContentMode::Bottom:
      return Rect(x + (bw - w) / 2, y + bh - h, w, h);
    case UIViewContentMode::Left:
      return Rect(x, y + (bh - h) / 2, w, h);
    case UIViewContentMode::Right:
      return Rect(x + bw - w, y + (bh - h) / 2, w, h);
    case UIViewContentMode::TopLeft:
      return Rect(x, y, w, h);
    case UIViewContentMode::TopRight:
      return Rect(x + bw - w, y, w, h);
    case UIViewContentMode::BottomLeft:
      return Rect(x, y + bh - h, w, h);
    case UIViewContentMode::BottomRight:
      return Rect(x + bw - w, y + bh - h, w, h);
  }
  return bounds;
}

void addRoundedRect(BitmapContext& context, const Rect& rect, double radius) {
  double r = std::min({radius, rect.size.width / 2, rect.size.height / 2});
  if (!(r > 0)) {
    context.addRect(rect);
    return;
  }
  double x0 = rect.minX(), y0 = rect.minY(), x1 = rect.maxX(), y1 = rect.maxY();
  const double k = 0.5522847498 * r;  // cubic approximation of a quarter circle
  context.moveToPoint(x0 + r, y0);
  context.addLineToPoint(x1 - r, y0);
  context.addCurveToPoint(x1 - r + k, y0, x1, y0 + r - k, x1, y0 + r);
  context.addLineToPoint(x1, y1 - r);
  context.addCurveToPoint(x1, y1 - r + k, x1 - r + k, y1, x1 - r, y1);
  context.addLineToPoint(x0 + r, y1);
  context.addCurveToPoint(x0 + r - k, y1, x0, y1 - r + k, x0, y1 - r);
  context.addLineToPoint(x0, y0 + r);
  context.addCurveToPoint(x0, y0 + r - k, x0 + r - k, y0, x0 + r, y0);
  context.closePath();
}

}  // namespace platform
