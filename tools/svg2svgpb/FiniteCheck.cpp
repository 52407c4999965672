#include "FiniteCheck.h"

#include <cmath>
#include <initializer_list>

namespace svgconvert {
namespace {

bool finite(std::initializer_list<float> values) {
  for (float v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

bool point(const ProtoPoint& p) {
  return finite({p.x(), p.y()});
}

bool rect(const ProtoRect& r) {
  return finite({r.x(), r.y(), r.width(), r.height()});
}

bool matrix(const ProtoAffineTransformMatrix& m) {
  return finite({m.a(), m.b(), m.c(), m.d(), m.tx(), m.ty()});
}

}  // namespace

bool FiniteCheck::picture(const ProtoSVGRoot& root) {
  return rect(root.viewport()) && rect(root.view_box()) && params(root.params());
}

bool FiniteCheck::params(const ProtoSVGGeneralParams& p) {
  if (!matrix(p.transform()) || !finite({p.opacity()})) return false;
  for (const ProtoSVGElement& child : p.children())
    if (!element(child)) return false;
  return true;
}

bool FiniteCheck::element(const ProtoSVGElement& e) {
  if (e.has_group() && !params(e.group())) return false;
  if (e.has_defs() && !params(e.defs())) return false;
  if (e.has_gradient()) {
    const ProtoSVGElementGradient& g = e.gradient();
    if (!params(g.params()) || !matrix(g.transform()) || !point(g.start()) || !point(g.end()) ||
        !point(g.center()) || !finite({g.radius()}))
      return false;
    for (const auto& stop : g.stops())
      if (!finite({stop.offset(), stop.opacity()})) return false;
  }
  if (e.has_path()) {
    const ProtoSVGElementPath& p = e.path();
    if (!params(p.params()) || !rect(p.rect()) || !finite({p.cx(), p.cy(), p.rx(), p.ry(), p.r()}))
      return false;
    for (const auto& step : p.points()) {
      const ProtoCurve& c = step.curve_to();
      if (!point(step.move_to()) || !point(step.line_to()) ||
          !finite({c.x1(), c.y1(), c.x2(), c.y2(), c.x(), c.y()}))
        return false;
    }
  }
  return true;
}

}  // namespace svgconvert
