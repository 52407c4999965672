#include "Graphics/BitmapContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {
namespace {

bool finite(double v) {
  return std::isfinite(v);
}

cairo_matrix_t toCairo(const AffineTransform& t) {
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
  return m;
}

// A cairo surface over an image's pixels (grey ones through their kept 32-bit copy). Check its
// status: cairo refuses sizes it cannot draw, and drawing from such a surface would put the
// canvas into a permanent error state.
cairo_surface_t* surfaceForImage(const Image& image) {
  const Bitmap& bitmap = image.bitmap().drawablePixels();
  auto format = bitmap.hasAlpha() ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
  return cairo_image_surface_create_for_data(const_cast<std::uint8_t*>(bitmap.data()), format,
                                             bitmap.width(), bitmap.height(),
                                             static_cast<int>(bitmap.bytesPerRow()));
}

// cairo leaves the unused byte of opaque pixels undefined; ours say 0xFF.
void setOpaqueBytes(Bitmap& bitmap) {
  for (int y = 0; y < bitmap.height(); ++y) {
    std::uint8_t* row = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x) row[4 * x + 3] = 0xFF;
  }
}

}  // namespace

std::unique_ptr<BitmapContext> BitmapContext::create(int width, int height, bool hasAlpha) {
  if (width <= 0 || height <= 0 || width > Bitmap::kMaxDrawableSide ||
      height > Bitmap::kMaxDrawableSide)
    return nullptr;
  // The canvas draws straight into the bitmap that takeImage() hands over.
  auto pixels = Bitmap::create(width, height,
                               hasAlpha ? PixelFormat::ARGB32Premultiplied : PixelFormat::RGB24);
  if (!pixels) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      pixels->data(), hasAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height,
      static_cast<int>(pixels->bytesPerRow()));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return std::unique_ptr<BitmapContext>(
      new BitmapContext(width, height, hasAlpha, std::move(pixels), surface));
}

BitmapContext::BitmapContext(int width, int height, bool hasAlpha, std::shared_ptr<Bitmap> pixels,
                             cairo_surface_t* surface)
    : _width(width),
      _height(height),
      _hasAlpha(hasAlpha),
      _pixels(std::move(pixels)),
      _surface(surface),
      _cairo(cairo_create(surface)) {
  // cairo's device space has y down; ours has it up.
  cairo_matrix_t flip;
  cairo_matrix_init(&flip, 1, 0, 0, -1, 0, height);
  cairo_set_matrix(_cairo, &flip);
  cairo_set_source_rgba(_cairo, 0, 0, 0, 1);
}

BitmapContext::~BitmapContext() {
  cairo_destroy(_cairo);
  cairo_surface_destroy(_surface);
}

void BitmapContext::saveGState() {
  cairo_save(_cairo);
  _ctm.push_back(_ctm.back());
  _degenerate.push_back(_degenerate.back());
  _alpha.push_back(_alpha.back());
}

void BitmapContext::restoreGState() {
  if (_ctm.size() == 1) return;  // unbalanced restore: nothing to restore
  cairo_restore(_cairo);
  _ctm.pop_back();
  _degenerate.pop_back();
  _alpha.pop_back();
}

void BitmapContext::concatCTM(const AffineTransform& t) {
  AffineTransform combined = AffineTransform::concat(t, _ctm.back());
  _ctm.back() = combined;
  bool usable = finite(t.a) && finite(t.b) && finite(t.c) && finite(t.d) && finite(t.tx) &&
                finite(t.ty) && finite(combined.tx) && finite(combined.ty) &&
                combined.isInvertible();
  if (!usable || !drawable()) {
    _degenerate.back() = 1;
    return;
  }
  cairo_matrix_t m = toCairo(t);
  cairo_transform(_cairo, &m);
}

void BitmapContext::setAlpha(double alpha) {
  if (!finite(alpha)) return;
  _alpha.back() = std::clamp(alpha, 0.0, 1.0);
}

void BitmapContext::setFillColor(double red, double green, double blue, double alpha) {
  if (!finite(red) || !finite(green) || !finite(blue) || !finite(alpha)) return;
  cairo_set_source_rgba(_cairo, std::clamp(red, 0.0, 1.0), std::clamp(green, 0.0, 1.0),
                        std::clamp(blue, 0.0, 1.0), std::clamp(alpha, 0.0, 1.0));
}

void BitmapContext::beginPath() {
  cairo_new_path(_cairo);
}

void BitmapContext::moveToPoint(double x, double y) {
  if (drawable() && finite(x) && finite(y)) cairo_move_to(_cairo, x, y);
}

void BitmapContext::addLineToPoint(double x, double y) {
  if (drawable() && finite(x) && finite(y)) cairo_line_to(_cairo, x, y);
}

void BitmapContext::addCurveToPoint(double x1, double y1, double x2, double y2, double x,
                                    double y) {
  if (drawable() && finite(x1) && finite(y1) && finite(x2) && finite(y2) && finite(x) && finite(y))
    cairo_curve_to(_cairo, x1, y1, x2, y2, x, y);
}

void BitmapContext::closePath() {
  if (drawable()) cairo_close_path(_cairo);
}

void BitmapContext::addRect(const Rect& rect) {
  if (drawable() && rect.isFinite())
    cairo_rectangle(_cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
}

void BitmapContext::addEllipseInRect(const Rect& rect) {
  if (!drawable() || rect.isEmpty()) return;
  Path ellipse;
  ellipse.addEllipseInRect(rect);
  addPath(ellipse);
}

void BitmapContext::addPath(const Path& path) {
  if (!drawable()) return;
  auto ok = [](const Point& p) { return finite(p.x) && finite(p.y); };
  for (const Path::Element& e : path.elements()) {
    switch (e.verb) {
      case Path::Verb::Move:
        if (ok(e.points[0])) cairo_move_to(_cairo, e.points[0].x, e.points[0].y);
        break;
      case Path::Verb::Line:
        if (ok(e.points[0])) cairo_line_to(_cairo, e.points[0].x, e.points[0].y);
        break;
      case Path::Verb::Curve:
        if (ok(e.points[0]) && ok(e.points[1]) && ok(e.points[2]))
          cairo_curve_to(_cairo, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y,
                         e.points[2].x, e.points[2].y);
        break;
      case Path::Verb::Close:
        cairo_close_path(_cairo);
        break;
    }
  }
}

void BitmapContext::fillStrokeOfPath() {
  if (!drawable()) {
    cairo_new_path(_cairo);
    return;
  }
  cairo_save(_cairo);
  cairo_set_line_width(_cairo, 1);
  cairo_set_line_cap(_cairo, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(_cairo, CAIRO_LINE_JOIN_MITER);
  cairo_set_miter_limit(_cairo, 10);
  // A stroke's overlaps paint once, so a solid colour can carry the alpha itself; only other
  // sources need the stroke drawn apart first.
  if (_alpha.back() >= 1 || fadeSolidSource()) {
    cairo_stroke(_cairo);
  } else {
    cairo_push_group(_cairo);
    cairo_stroke(_cairo);
    cairo_pop_group_to_source(_cairo);
    cairo_paint_with_alpha(_cairo, _alpha.back());
  }
  cairo_restore(_cairo);
  cairo_new_path(_cairo);
}

void BitmapContext::drawGradient(const GradientPattern& pattern) {
  if (!drawable() || pattern.empty()) return;
  cairo_save(_cairo);
  cairo_set_source(_cairo, pattern.cairoPattern());
  cairo_paint_with_alpha(_cairo, _alpha.back());
  cairo_restore(_cairo);
}

void BitmapContext::fillPathWithGradient(const GradientPattern& pattern,
                                         const AffineTransform& placement) {
  if (drawable() && !pattern.empty()) {
    // The path is kept in device space, so placing the gradient does not move it.
    saveGState();
    concatCTM(placement);
    if (drawable()) {
      cairo_set_source(_cairo, pattern.cairoPattern());
      cairo_set_fill_rule(_cairo, CAIRO_FILL_RULE_WINDING);
      applyAlphaAndFill(true);
    }
    restoreGState();
  }
  cairo_new_path(_cairo);
}

void BitmapContext::drawLinearGradient(const Gradient& gradient, Point start, Point end) {
  if (drawable()) drawGradient(GradientPattern::linear(gradient, start, end));
}

void BitmapContext::drawRadialGradient(const Gradient& gradient, Point startCenter,
                                       double startRadius, Point endCenter, double endRadius) {
  if (drawable())
    drawGradient(GradientPattern::radial(gradient, startCenter, startRadius, endCenter, endRadius));
}

bool BitmapContext::fadeSolidSource() {
  double red, green, blue, alpha;
  if (cairo_pattern_get_rgba(cairo_get_source(_cairo), &red, &green, &blue, &alpha) !=
      CAIRO_STATUS_SUCCESS)
    return false;
  cairo_set_source_rgba(_cairo, red, green, blue, alpha * _alpha.back());
  return true;
}

void BitmapContext::applyAlphaAndFill(bool preserve) {
  double alpha = _alpha.back();
  if (alpha >= 1) {
    preserve ? cairo_fill_preserve(_cairo) : cairo_fill(_cairo);
    return;
  }
  cairo_save(_cairo);
  if (fadeSolidSource()) {
    cairo_fill_preserve(_cairo);
  } else {
    cairo_clip(_cairo);
    cairo_paint_with_alpha(_cairo, alpha);
  }
  cairo_restore(_cairo);
  if (!preserve) cairo_new_path(_cairo);
}

void BitmapContext::fillPath(FillRule rule) {
  if (!drawable()) {
    cairo_new_path(_cairo);
    return;
  }
  cairo_set_fill_rule(
      _cairo, rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  applyAlphaAndFill(false);
}

void BitmapContext::clip(FillRule rule) {
  if (!drawable()) {
    cairo_new_path(_cairo);
    return;
  }
  cairo_set_fill_rule(
      _cairo, rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  cairo_clip(_cairo);
}

void BitmapContext::fillRect(const Rect& rect) {
  beginPath();
  addRect(rect);
  fillPath();
}

void BitmapContext::clipToPixelRects(const std::vector<Rect>& rects) {
  cairo_matrix_t saved;
  cairo_get_matrix(_cairo, &saved);
  cairo_identity_matrix(_cairo);
  cairo_new_path(_cairo);
  for (const Rect& r : rects)
    if (r.isFinite()) cairo_rectangle(_cairo, r.minX(), r.minY(), r.width(), r.height());
  cairo_clip(_cairo);
  cairo_set_matrix(_cairo, &saved);
}

void BitmapContext::clearRect(const Rect& rect) {
  if (!drawable() || !rect.isFinite()) return;
  cairo_save(_cairo);
  cairo_new_path(_cairo);
  cairo_rectangle(_cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
  if (_hasAlpha) {
    cairo_set_operator(_cairo, CAIRO_OPERATOR_CLEAR);
  } else {
    cairo_set_source_rgb(_cairo, 0, 0, 0);
  }
  cairo_fill(_cairo);
  cairo_restore(_cairo);
}

void BitmapContext::drawImage(const Rect& rect, const Image& image) {
  if (!drawable() || rect.isEmpty()) return;
  cairo_surface_t* source = surfaceForImage(image);
  if (cairo_surface_status(source) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(source);
    return;
  }
  double iw = image.pixelWidth(), ih = image.pixelHeight();
  cairo_save(_cairo);
  cairo_new_path(_cairo);
  // The picture's top row goes to the rectangle's top edge (largest y).
  cairo_translate(_cairo, rect.origin.x, rect.origin.y + rect.size.height);
  cairo_scale(_cairo, rect.size.width / iw, -rect.size.height / ih);
  cairo_set_source_surface(_cairo, source, 0, 0);
  cairo_pattern_set_extend(cairo_get_source(_cairo), CAIRO_EXTEND_PAD);
  cairo_rectangle(_cairo, 0, 0, iw, ih);
  applyAlphaAndFill(false);
  cairo_restore(_cairo);
  cairo_surface_destroy(source);
}

void BitmapContext::copyPixels(const BitmapContext& source, const Rect& rect, Point to) {
  if (!_pixels || !source._pixels || source._hasAlpha != _hasAlpha || !rect.isFinite()) return;
  int sx = static_cast<int>(rect.minX()), sy = static_cast<int>(rect.minY());
  int dx = static_cast<int>(to.x), dy = static_cast<int>(to.y);
  int w = static_cast<int>(rect.width()), h = static_cast<int>(rect.height());
  // Trims the rectangle to both canvases.
  int cutX = std::max({0, -sx, -dx}), cutY = std::max({0, -sy, -dy});
  sx += cutX, dx += cutX, w -= cutX;
  sy += cutY, dy += cutY, h -= cutY;
  w = std::min({w, source._width - sx, _width - dx});
  h = std::min({h, source._height - sy, _height - dy});
  if (w <= 0 || h <= 0) return;
  cairo_surface_flush(source._surface);
  cairo_surface_flush(_surface);
  for (int y = 0; y < h; ++y)
    std::memcpy(_pixels->row(dy + y) + dx * 4, source._pixels->row(sy + y) + sx * 4,
                static_cast<size_t>(w) * 4);
  cairo_surface_mark_dirty_rectangle(_surface, dx, dy, w, h);
}

const Bitmap* BitmapContext::pixels() const {
  if (!_pixels) return nullptr;
  cairo_surface_flush(_surface);
  return _pixels.get();
}

std::shared_ptr<Image> BitmapContext::makeImage() const {
  if (!_pixels) return nullptr;
  cairo_surface_flush(_surface);
  auto bitmap = Bitmap::create(_width, _height, _pixels->format());
  if (!bitmap) return nullptr;
  std::memcpy(bitmap->data(), _pixels->data(), _pixels->bytesPerRow() * _height);
  if (!_hasAlpha) setOpaqueBytes(*bitmap);
  return Image::imageWithBitmap(std::move(bitmap));
}

std::shared_ptr<Image> BitmapContext::takeImage() {
  if (!_pixels) return nullptr;
  cairo_surface_finish(_surface);  // later drawing has nowhere to go
  if (!_hasAlpha) setOpaqueBytes(*_pixels);
  return Image::imageWithBitmap(std::move(_pixels));
}

}  // namespace platform
