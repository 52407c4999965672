#include "SVGView/SVGRenderer.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "Foundation/DeviceProfile.h"
#include "SVGView/ProtoSVGFile.h"

using platform::AffineTransform;
using platform::BitmapContext;
using platform::FillRule;

namespace {

AffineTransform transformOf(const ProtoAffineTransformMatrix& m) {
  return {m.a(), m.b(), m.c(), m.d(), m.tx(), m.ty()};
}

void setFillColor(BitmapContext& context, const ProtoColor& color) {
  context.setFillColor(static_cast<float>(color.red()) / 255.0,
                       static_cast<float>(color.green()) / 255.0,
                       static_cast<float>(color.blue()) / 255.0, 1);
}

// Halves away from zero, as the pixel sizes are rounded.
long roundedPixels(double points, double scale) {
  auto product = static_cast<float>(points * scale);
  if (!std::isfinite(product) || product > static_cast<float>(INT_MAX)) return 0;
  return std::lround(product);
}

}  // namespace

std::set<std::int32_t> SVGRenderer::statesFromIdentifier(const std::string& identifier) {
  std::set<std::int32_t> states;
  size_t found = identifier.find("state-");
  if (found == std::string::npos) return states;
  const char* cursor = identifier.c_str() + found + 6;
  const char* end = identifier.c_str() + identifier.size();
  while (cursor < end) {
    char* after = nullptr;
    errno = 0;
    long number = std::strtol(cursor, &after, 10);
    if (after == cursor) break;
    states.insert(static_cast<std::int32_t>(number));
    if (*after != '-') break;
    cursor = after + 1;
  }
  return states;
}

void SVGRenderer::reset() {
  _pathCache.clear();
  _patternCache.clear();
  _gradientsById.clear();
  _root.Clear();
}

int SVGRenderer::load(const std::string& path) {
  reset();
  bool loaded = ProtoSVGFile::load(path, _root);
  walk(Mode::Full, [this](const ProtoSVGElement& element) {
    if (element.has_group() && element.group().has_id()) {
      auto states = statesFromIdentifier(element.group().id());
      _declaredStates.insert(states.begin(), states.end());
    }
    if (element.has_gradient() && element.gradient().params().has_id())
      _gradientsById[element.gradient().params().id()] = &element.gradient();
  });
  return loaded ? 1 : 0;
}

void SVGRenderer::prepare() {
  walk(Mode::Full, [this](const ProtoSVGElement& element) {
    if (element.has_gradient()) patternFor(element.gradient());
    if (element.has_path()) pathFor(element.path());
  });
}

void SVGRenderer::setStateActive(std::int32_t state) {
  if (_declaredStates.count(state)) _activeStates.insert(state);
}

void SVGRenderer::setStateInactive(std::int32_t state) {
  _activeStates.erase(state);
}

void SVGRenderer::setAllStatesInactive() {
  _activeStates.clear();
}

void SVGRenderer::walk(Mode mode, const Callback& callback) const {
  for (const ProtoSVGElement& element : _root.params().children()) visit(element, mode, callback);
}

void SVGRenderer::visit(const ProtoSVGElement& element, Mode mode, const Callback& callback) const {
  callback(element);
  if (element.has_defs() && mode == Mode::Full)
    for (const ProtoSVGElement& child : element.defs().children())
      visit(child, Mode::Full, callback);
  if (element.has_group()) {
    if (mode == Mode::Drawing && !isGroupVisible(element.group())) return;
    for (const ProtoSVGElement& child : element.group().children()) visit(child, mode, callback);
  }
}

bool SVGRenderer::isGroupVisible(const ProtoSVGGeneralParams& group) const {
  if (!group.has_id()) return true;
  auto states = statesFromIdentifier(group.id());
  if (states.empty()) return true;
  for (std::int32_t state : states)
    if (_activeStates.count(state)) return true;
  return false;
}

const platform::Path& SVGRenderer::pathFor(const ProtoSVGElementPath& message) {
  auto cached = _pathCache.find(&message);
  if (cached != _pathCache.end()) return cached->second;
  platform::Path path;
  for (const auto& point : message.points()) {
    if (point.has_move_to()) path.moveToPoint(point.move_to().x(), point.move_to().y());
    if (point.has_line_to()) path.addLineToPoint(point.line_to().x(), point.line_to().y());
    if (point.has_curve_to()) {
      const ProtoCurve& c = point.curve_to();
      path.addCurveToPoint(c.x1(), c.y1(), c.x2(), c.y2(), c.x(), c.y());
    }
    if (point.has_close() && point.close()) path.closeSubpath();
  }
  double cx = message.cx(), cy = message.cy();
  if (message.has_r()) {
    double r = message.r();
    path.addEllipseInRect(platform::Rect(cx - r, cy - r, 2 * r, 2 * r));
  }
  if (message.has_rx() && message.has_ry()) {
    double rx = message.rx(), ry = message.ry();
    path.addEllipseInRect(platform::Rect(cx - rx, cy - ry, 2 * rx, 2 * ry));
  }
  if (message.has_rect()) {
    const ProtoRect& r = message.rect();
    path.addRect(platform::Rect(r.x(), r.y(), r.width(), r.height()));
  }
  return _pathCache.emplace(&message, std::move(path)).first->second;
}

const platform::GradientPattern& SVGRenderer::patternFor(const ProtoSVGElementGradient& message) {
  auto cached = _patternCache.find(&message);
  if (cached != _patternCache.end()) return cached->second;
  platform::Gradient gradient;
  gradient.stops.reserve(message.stops_size());
  for (const auto& stop : message.stops()) {
    const ProtoColor& color = stop.color();
    gradient.stops.push_back({stop.offset(), static_cast<float>(color.red()) / 255.0,
                              static_cast<float>(color.green()) / 255.0,
                              static_cast<float>(color.blue()) / 255.0,
                              stop.has_opacity() ? stop.opacity() : 1.0});
  }
  platform::GradientPattern pattern;
  if (message.has_start() && message.has_end()) {
    pattern =
        platform::GradientPattern::linear(gradient, {message.start().x(), message.start().y()},
                                          {message.end().x(), message.end().y()});
  } else if (message.has_center() && message.has_radius()) {
    platform::Point center{message.center().x(), message.center().y()};
    pattern = platform::GradientPattern::radial(gradient, center, 0, center, message.radius());
  }
  return _patternCache.emplace(&message, std::move(pattern)).first->second;
}

bool SVGRenderer::applyParams(BitmapContext& context, const ProtoSVGGeneralParams& params) const {
  if (!params.has_transform() && !params.has_opacity()) return false;
  context.saveGState();
  if (params.has_transform()) context.concatCTM(transformOf(params.transform()));
  if (params.has_opacity()) context.setAlpha(params.opacity());
  return true;
}

void SVGRenderer::drawPath(BitmapContext& context, const ProtoSVGElementPath& message) {
  const platform::Path& path = pathFor(message);
  const ProtoSVGGeneralParams& params = message.params();
  bool saved = applyParams(context, params);

  if (!params.has_fill()) {
    platform::GStateSaver state(context);
    context.beginPath();
    context.addPath(path);
    context.setFillColor(0, 0, 0, 1);
    context.fillPath(FillRule::NonZero);
  } else if (!params.fill().none()) {
    const ProtoSVGPaint& fill = params.fill();
    platform::GStateSaver state(context);
    context.beginPath();
    context.addPath(path);
    FillRule rule = fill.has_even_odd() && fill.even_odd() ? FillRule::EvenOdd : FillRule::NonZero;
    if (fill.has_color()) {
      setFillColor(context, fill.color());
      context.fillPath(rule);
    } else if (fill.has_gradient_id()) {
      auto found = _gradientsById.find(fill.gradient_id());
      if (found != _gradientsById.end()) {
        const ProtoSVGElementGradient& message = *found->second;
        const platform::GradientPattern& pattern = patternFor(message);
        context.fillPathWithGradient(pattern, message.has_transform()
                                                  ? transformOf(message.transform())
                                                  : AffineTransform());
      } else {
        context.beginPath();  // nothing painted; the path takes no part in later drawing
      }
    } else {
      context.setFillColor(0, 0, 0, 1);
      context.fillPath(FillRule::EvenOdd);
    }
  }

  if (params.has_stroke() && !params.stroke().none() && params.stroke().has_color()) {
    platform::GStateSaver state(context);
    setFillColor(context, params.stroke().color());
    context.beginPath();
    context.addPath(path);
    context.fillStrokeOfPath();
  }
  if (saved) context.restoreGState();
}

AffineTransform SVGRenderer::fitTransform(float width, float height) const {
  const ProtoRect& v = _root.viewport();
  const ProtoRect& b = _root.view_box();
  float sx = width / v.width(), sy = height / v.height();
  float s = std::min(sx, sy);
  return AffineTransform::makeTranslation(v.x(), v.y())
      .scaled(s, s)
      .translated(-b.x(), -b.y())
      .scaled(v.width() / b.width(), v.height() / b.height());
}

void SVGRenderer::drawInContext(BitmapContext& context, float width, float height) {
  context.clearRect(platform::Rect(0, 0, width, height));
  drawPicture(context, width, height);
}

void SVGRenderer::drawPicture(BitmapContext& context, float width, float height) {
  platform::GStateSaver outer(context);
  const ProtoRect& v = _root.viewport();
  const ProtoRect& b = _root.view_box();
  // A viewport or view box without area has no fit: nothing is drawn.
  if (!(v.width() != 0 && v.height() != 0 && b.width() != 0 && b.height() != 0)) return;
  context.concatCTM(fitTransform(width, height));
  bool saved = applyParams(context, _root.params());
  walk(Mode::Drawing, [&](const ProtoSVGElement& element) {
    if (element.has_path()) drawPath(context, element.path());
  });
  if (saved) context.restoreGState();
}

std::shared_ptr<platform::Image> SVGRenderer::renderImage(float width, float height, double scale) {
  long w = roundedPixels(width, scale), h = roundedPixels(height, scale);
  if (w <= 0 || h <= 0) return nullptr;
  auto context = BitmapContext::create(static_cast<int>(w), static_cast<int>(h), true);
  if (!context) return nullptr;
  drawPicture(*context, static_cast<float>(w), static_cast<float>(h));  // a new canvas is clear
  auto drawn = context->takeImage();
  if (!drawn) return nullptr;
  // The picture's y grows downward, the canvas's upward: the rows are upside down.
  if (platform::DeviceProfile::current().systemVersion.rfind("4.", 0) != 0)
    return platform::Image::imageWithBitmap(drawn->sharedBitmap(), scale,
                                            platform::ImageOrientation::DownMirrored);
  auto upright = BitmapContext::create(static_cast<int>(w), static_cast<int>(h), true);
  if (!upright) return nullptr;
  upright->translateCTM(0, static_cast<double>(h));
  upright->scaleCTM(1, -1);
  upright->drawImage(platform::Rect(0, 0, w, h), *drawn);
  auto image = upright->takeImage();
  return image ? platform::Image::imageWithBitmap(image->sharedBitmap(), scale) : nullptr;
}

std::shared_ptr<platform::Image> SVGRenderer::imageWithSize(platform::Size size,
                                                            const std::string& path) {
  SVGRenderer renderer;  // private to this call
  if (!renderer.load(path)) return nullptr;
  return renderer.renderImage(static_cast<float>(size.width), static_cast<float>(size.height),
                              platform::DeviceProfile::current().scale);
}
