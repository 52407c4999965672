#include "Graphics/Path.h"

namespace platform {

void Path::moveToPoint(double x, double y) {
  _elements.push_back({Verb::Move, {{x, y}}});
}

void Path::addLineToPoint(double x, double y) {
  _elements.push_back({Verb::Line, {{x, y}}});
}

void Path::addCurveToPoint(double x1, double y1, double x2, double y2, double x, double y) {
  _elements.push_back({Verb::Curve, {{x1, y1}, {x2, y2}, {x, y}}});
}

void Path::closeSubpath() {
  _elements.push_back({Verb::Close, {}});
}

void Path::addEllipseInRect(const Rect& rect) {
  Rect r = rect.standardized();
  constexpr double k = 0.5522847498307936;  // control distance of a cubic quarter circle
  double cx = r.midX(), cy = r.midY(), rx = r.size.width / 2, ry = r.size.height / 2;
  moveToPoint(cx + rx, cy);
  addCurveToPoint(cx + rx, cy + k * ry, cx + k * rx, cy + ry, cx, cy + ry);
  addCurveToPoint(cx - k * rx, cy + ry, cx - rx, cy + k * ry, cx - rx, cy);
  addCurveToPoint(cx - rx, cy - k * ry, cx - k * rx, cy - ry, cx, cy - ry);
  addCurveToPoint(cx + k * rx, cy - ry, cx + rx, cy - k * ry, cx + rx, cy);
  closeSubpath();
}

void Path::addRect(const Rect& rect) {
  moveToPoint(rect.origin.x, rect.origin.y);
  addLineToPoint(rect.origin.x + rect.size.width, rect.origin.y);
  addLineToPoint(rect.origin.x + rect.size.width, rect.origin.y + rect.size.height);
  addLineToPoint(rect.origin.x, rect.origin.y + rect.size.height);
  closeSubpath();
}

}  // namespace platform
