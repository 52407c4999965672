#pragma once

#include <memory>
#include <vector>

#include "Graphics/AffineTransform.h"
#include "Graphics/GradientPattern.h"
#include "Graphics/Image.h"
#include "Graphics/Path.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_pattern cairo_pattern_t;

namespace platform {

enum class FillRule { NonZero, EvenOdd };

// A drawing canvas over a bitmap, on cairo, with the phone drawing library's conventions: the
// origin is at the bottom-left corner and y grows upward; transforms act before the current one;
// drawImage() shows an image's stored pixels upright in that space (its orientation is not
// applied). A transform that cannot be drawn through (not finite, or flattening everything)
// makes drawing do nothing until the graphics state that set it is restored, instead of breaking
// the canvas for good.
class BitmapContext {
 public:
  // Null for a size that is not positive or too large. Without alpha the canvas is opaque black.
  static std::unique_ptr<BitmapContext> create(int width, int height, bool hasAlpha);
  ~BitmapContext();
  BitmapContext(const BitmapContext&) = delete;
  BitmapContext& operator=(const BitmapContext&) = delete;

  int width() const { return _width; }
  int height() const { return _height; }
  bool hasAlpha() const { return _hasAlpha; }

  void saveGState();
  void restoreGState();

  void concatCTM(const AffineTransform& transform);
  void translateCTM(double tx, double ty) { concatCTM(AffineTransform::makeTranslation(tx, ty)); }
  void scaleCTM(double sx, double sy) { concatCTM(AffineTransform::makeScale(sx, sy)); }
  void rotateCTM(double radians) { concatCTM(AffineTransform::makeRotation(radians)); }
  // User space to the canvas's pixels (origin bottom-left).
  AffineTransform getCTM() const { return _ctm.back(); }

  // Global alpha applied to everything drawn, 0 to 1.
  void setAlpha(double alpha);
  void setFillColor(double red, double green, double blue, double alpha);

  void beginPath();
  void moveToPoint(double x, double y);
  void addLineToPoint(double x, double y);
  void addCurveToPoint(double x1, double y1, double x2, double y2, double x, double y);
  void closePath();
  void addRect(const Rect& rect);
  void addEllipseInRect(const Rect& rect);
  // Adds a built path; segments with coordinates that are not finite are left out.
  void addPath(const Path& path);
  // Replaces the current path by the outline of its stroke (width 1 in user space, butt caps,
  // miter joins, miter limit 10) and fills that outline. cairo has no outline-as-path, so the
  // stroke is painted directly; the fill rule cannot change the result (overlaps paint once).
  void fillStrokeOfPath();
  // Gradients over the whole clip, extended beyond both ends with their end colours.
  void drawLinearGradient(const Gradient& gradient, Point start, Point end);
  void drawRadialGradient(const Gradient& gradient, Point startCenter, double startRadius,
                          Point endCenter, double endRadius);
  // A gradient built earlier, over the whole clip.
  void drawGradient(const GradientPattern& pattern);
  // Fills the current path by the non-zero rule with a gradient placed by `placement` (acting
  // before the current transform) and starts a new path: what clipping to the path and drawing
  // the gradient give, in one pass.
  void fillPathWithGradient(const GradientPattern& pattern, const AffineTransform& placement);
  // Fills the current path and starts a new one.
  void fillPath(FillRule rule = FillRule::NonZero);
  // Intersects the clip with the current path and starts a new one.
  void clip(FillRule rule = FillRule::NonZero);

  // Intersects the clip with the union of `rects`, given in the canvas's pixels as they are stored
  // (origin top-left, y down) whatever the current transform: whole-pixel rectangles clip exactly.
  void clipToPixelRects(const std::vector<Rect>& rects);

  void fillRect(const Rect& rect);
  // Makes the rectangle transparent (black on a canvas without alpha).
  void clearRect(const Rect& rect);
  void drawImage(const Rect& rect, const Image& image);

  // Copies `rect` of `source`'s pixels (stored order: origin top-left, whole pixels) to this
  // canvas's pixels at `to`, as they are, without blending. Both canvases must have the same
  // format; parts outside either canvas are left out.
  void copyPixels(const BitmapContext& source, const Rect& rect, Point to);
  // The canvas's own pixels as drawn so far, rows from the top; null once takeImage() finished
  // the canvas. On a canvas without alpha the fourth byte of each pixel means nothing.
  const Bitmap* pixels() const;
  // A copy of the canvas's pixels as an image (scale 1, upright).
  std::shared_ptr<Image> makeImage() const;
  // The canvas's own pixels as an image, without a copy; the canvas is finished: it draws
  // nothing more and both calls give null afterwards.
  std::shared_ptr<Image> takeImage();

 private:
  BitmapContext(int width, int height, bool hasAlpha, std::shared_ptr<Bitmap> pixels,
                cairo_surface_t* surface);
  bool drawable() const { return _degenerate.back() == 0; }
  void applyAlphaAndFill(bool preserve);
  // When the source is a solid colour, multiplies the global alpha into it (the caller saves
  // and restores cairo's state); false for other sources.
  bool fadeSolidSource();

  int _width, _height;
  bool _hasAlpha;
  std::shared_ptr<Bitmap> _pixels;  // the surface's memory; outlives it
  cairo_surface_t* _surface;
  cairo_t* _cairo;
  std::vector<AffineTransform> _ctm{AffineTransform{}};
  std::vector<int> _degenerate{0};
  std::vector<double> _alpha{1};
};

// Saves the graphics state for the life of the object.
class GStateSaver {
 public:
  explicit GStateSaver(BitmapContext& context) : _context(context) { _context.saveGState(); }
  ~GStateSaver() { _context.restoreGState(); }
  GStateSaver(const GStateSaver&) = delete;
  GStateSaver& operator=(const GStateSaver&) = delete;

 private:
  BitmapContext& _context;
};

}  // namespace platform
