#include "GradientTable.h"

#include <cmath>

namespace svgconvert {

namespace {

void setColor(ProtoColor* out, const Color& color) {
  out->set_red(color.red);
  out->set_green(color.green);
  out->set_blue(color.blue);
}

ResolvedPaint solid(const Color& color) {
  ResolvedPaint paint;
  paint.kind = color.alpha > 0 ? ResolvedPaint::Kind::Color : ResolvedPaint::Kind::None;
  paint.color = color;
  return paint;
}

}  // namespace

ResolvedPaint GradientTable::paintFor(const std::string& identifier,
                                      const GradientDefinition& definition,
                                      const std::optional<Rect>& bounds, const Viewport& viewport,
                                      LossReport& losses) {
  using Axis = Viewport::Axis;
  if (definition.stops.empty()) return {};
  if (definition.stops.size() == 1) return solid(definition.stops.front().color);
  AffineTransform transform = definition.transform;
  Viewport units = viewport;
  if (!definition.userSpace) {
    // A shape without width or height has no bounding box to map onto: it is not painted.
    if (!bounds || bounds->size.width <= 0 || bounds->size.height <= 0) return {};
    transform = AffineTransform::concat(transform, {bounds->size.width, 0, 0, bounds->size.height,
                                                    bounds->origin.x, bounds->origin.y});
    units = Viewport{1, 1};
  }
  auto value = [&](const Length& length, Axis axis) {
    // In bounding-box units a percentage is a fraction of the box.
    return definition.userSpace ? units.resolve(length, axis)
                                : (length.percent ? length.value / 100 : length.value);
  };
  ProtoSVGElementGradient gradient;
  if (definition.radial) {
    double cx = value(definition.cx, Axis::X), cy = value(definition.cy, Axis::Y);
    double r = value(definition.r, Axis::Other);
    if (!(r > 0)) return solid(definition.stops.back().color);
    double fx = definition.fx ? value(*definition.fx, Axis::X) : cx,
           fy = definition.fy ? value(*definition.fy, Axis::Y) : cy;
    if (std::fabs(fx - cx) > 1e-6 * r || std::fabs(fy - cy) > 1e-6 * r)
      losses.add("radial gradient focal point", "gradient use");
    gradient.mutable_center()->set_x(static_cast<float>(cx));
    gradient.mutable_center()->set_y(static_cast<float>(cy));
    gradient.set_radius(static_cast<float>(r));
  } else {
    double x1 = value(definition.x1, Axis::X), y1 = value(definition.y1, Axis::Y);
    double x2 = value(definition.x2, Axis::X), y2 = value(definition.y2, Axis::Y);
    // A gradient of no length paints its last colour.
    if (x1 == x2 && y1 == y2) return solid(definition.stops.back().color);
    gradient.mutable_start()->set_x(static_cast<float>(x1));
    gradient.mutable_start()->set_y(static_cast<float>(y1));
    gradient.mutable_end()->set_x(static_cast<float>(x2));
    gradient.mutable_end()->set_y(static_cast<float>(y2));
  }
  if (definition.spread == "reflect" || definition.spread == "repeat")
    losses.add("gradient spreadMethod " + definition.spread, "gradient use");
  for (const GradientDefinition::Stop& stop : definition.stops) {
    auto* out = gradient.add_stops();
    if (stop.offset != 0) out->set_offset(static_cast<float>(stop.offset));
    setColor(out->mutable_color(), stop.color);
    if (stop.color.alpha < 1) out->set_opacity(static_cast<float>(stop.color.alpha));
  }
  if (!transform.isIdentity()) {
    ProtoAffineTransformMatrix* m = gradient.mutable_transform();
    m->set_a(static_cast<float>(transform.a));
    m->set_b(static_cast<float>(transform.b));
    m->set_c(static_cast<float>(transform.c));
    m->set_d(static_cast<float>(transform.d));
    m->set_tx(static_cast<float>(transform.tx));
    m->set_ty(static_cast<float>(transform.ty));
  }
  std::string content = gradient.SerializeAsString();
  ResolvedPaint paint;
  paint.kind = ResolvedPaint::Kind::Gradient;
  auto known = _identifierByContent.find(content);
  if (known != _identifierByContent.end()) {
    paint.gradientId = known->second;
    return paint;
  }
  std::string name = identifier;
  for (int n = 2; !_identifiers.insert(name).second; ++n)
    name = identifier + "-" + std::to_string(n);
  gradient.mutable_params()->set_id(name);
  *_definitions.add_children()->mutable_gradient() = std::move(gradient);
  _identifierByContent.emplace(std::move(content), name);
  paint.gradientId = name;
  return paint;
}

}  // namespace svgconvert
