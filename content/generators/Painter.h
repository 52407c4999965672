#pragma once

#include <functional>
#include <initializer_list>
#include <memory>

#include "Color.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/Image.h"
#include "Graphics/Path.h"

// Draws the sample pack's art on a bitmap canvas: y grows downward from the top-left corner and
// one unit is `scale` pixels, so art is written in screen points whatever the output size.
class Painter {
 public:
  // Null when the canvas cannot be made.
  static std::unique_ptr<Painter> create(int pixelWidth, int pixelHeight, double scale);

  platform::BitmapContext& context() { return *_context; }
  double scale() const { return _scale; }

  void save() { _context->saveGState(); }
  void restore() { _context->restoreGState(); }
  void translate(double x, double y) { _context->translateCTM(x, y); }
  void scaleBy(double sx, double sy) { _context->scaleCTM(sx, sy); }
  // Clockwise on screen for positive angles (y grows downward).
  void rotate(double radians) { _context->rotateCTM(radians); }
  void setAlpha(double alpha) { _context->setAlpha(alpha); }

  void fill(const platform::Path& path, const Color& color,
            platform::FillRule rule = platform::FillRule::NonZero);
  void fillLinear(const platform::Path& path, platform::Point from, platform::Point to,
                  std::initializer_list<platform::Gradient::Stop> stops,
                  platform::FillRule rule = platform::FillRule::NonZero);
  void fillRadial(const platform::Path& path, platform::Point center, double radius,
                  std::initializer_list<platform::Gradient::Stop> stops,
                  platform::FillRule rule = platform::FillRule::NonZero);
  // A line of `width` points along the path, butt caps and mitred joins.
  void stroke(const platform::Path& path, const Color& color, double width);
  // Clips to the path until the matching restore().
  void clip(const platform::Path& path, platform::FillRule rule = platform::FillRule::NonZero);

  // The pixels drawn so far, upright, with premultiplied alpha, at scale 1.
  std::shared_ptr<platform::Image> image() const { return _context->makeImage(); }

 private:
  Painter(std::unique_ptr<platform::BitmapContext> context, double scale);
  void fillGradient(const platform::Path& path, platform::FillRule rule,
                    const std::function<void(const platform::Gradient&)>& draw,
                    std::initializer_list<platform::Gradient::Stop> stops);

  std::unique_ptr<platform::BitmapContext> _context;
  double _scale;
};
