#include "Painter.h"

namespace {

// The path with every coordinate multiplied by `factor`.
platform::Path scaledPath(const platform::Path& path, double factor) {
  platform::Path scaled;
  for (const platform::Path::Element& e : path.elements()) {
    auto p = [&](int i) { return platform::Point{e.points[i].x * factor, e.points[i].y * factor}; };
    switch (e.verb) {
      case platform::Path::Verb::Move:
        scaled.moveToPoint(p(0).x, p(0).y);
        break;
      case platform::Path::Verb::Line:
        scaled.addLineToPoint(p(0).x, p(0).y);
        break;
      case platform::Path::Verb::Curve:
        scaled.addCurveToPoint(p(0).x, p(0).y, p(1).x, p(1).y, p(2).x, p(2).y);
        break;
      case platform::Path::Verb::Close:
        scaled.closeSubpath();
        break;
    }
  }
  return scaled;
}

}  // namespace

std::unique_ptr<Painter> Painter::create(int pixelWidth, int pixelHeight, double scale) {
  auto context = platform::BitmapContext::create(pixelWidth, pixelHeight, true);
  if (!context || !(scale > 0)) return nullptr;
  return std::unique_ptr<Painter>(new Painter(std::move(context), scale));
}

Painter::Painter(std::unique_ptr<platform::BitmapContext> context, double scale)
    : _context(std::move(context)), _scale(scale) {
  // The canvas counts y upward from the bottom; art is written top-down in points.
  _context->translateCTM(0, _context->height());
  _context->scaleCTM(scale, -scale);
}

void Painter::fill(const platform::Path& path, const Color& color, platform::FillRule rule) {
  _context->setFillColor(color.red, color.green, color.blue, color.alpha);
  _context->beginPath();
  _context->addPath(path);
  _context->fillPath(rule);
}

void Painter::fillGradient(const platform::Path& path, platform::FillRule rule,
                           const std::function<void(const platform::Gradient&)>& draw,
                           std::initializer_list<platform::Gradient::Stop> stops) {
  platform::GStateSaver saved(*_context);
  _context->beginPath();
  _context->addPath(path);
  _context->clip(rule);
  draw(platform::Gradient{std::vector<platform::Gradient::Stop>(stops)});
}

void Painter::fillLinear(const platform::Path& path, platform::Point from, platform::Point to,
                         std::initializer_list<platform::Gradient::Stop> stops,
                         platform::FillRule rule) {
  fillGradient(
      path, rule,
      [&](const platform::Gradient& gradient) { _context->drawLinearGradient(gradient, from, to); },
      stops);
}

void Painter::fillRadial(const platform::Path& path, platform::Point center, double radius,
                         std::initializer_list<platform::Gradient::Stop> stops,
                         platform::FillRule rule) {
  fillGradient(
      path, rule,
      [&](const platform::Gradient& gradient) {
        _context->drawRadialGradient(gradient, center, 0, center, radius);
      },
      stops);
}

void Painter::stroke(const platform::Path& path, const Color& color, double width) {
  if (!(width > 0)) return;
  // The canvas strokes one unit wide; drawing the path shrunk by the width in a space grown by
  // it gives a line of that width.
  platform::GStateSaver saved(*_context);
  _context->scaleCTM(width, width);
  _context->setFillColor(color.red, color.green, color.blue, color.alpha);
  _context->beginPath();
  _context->addPath(scaledPath(path, 1 / width));
  _context->fillStrokeOfPath();
}

void Painter::clip(const platform::Path& path, platform::FillRule rule) {
  _context->beginPath();
  _context->addPath(path);
  _context->clip(rule);
}
