#include "PathGeometry.h"

#include <algorithm>
#include <cmath>

namespace svgconvert {

namespace {

constexpr double kPi = 3.14159265358979323846;

Point lerp(Point a, Point b, double t) {
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

Point cubicPoint(const Point& p0, const Point& p1, const Point& p2, const Point& p3, double t) {
  double u = 1 - t;
  double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

// Parameters in (0, 1) where one coordinate of a cubic has a zero derivative.
void cubicExtremes(double p0, double p1, double p2, double p3, std::vector<double>& out) {
  double a = -p0 + 3 * p1 - 3 * p2 + p3, b = 2 * (p0 - 2 * p1 + p2), c = p1 - p0;
  auto keep = [&](double t) {
    if (t > 0 && t < 1) out.push_back(t);
  };
  if (std::fabs(a) < 1e-12) {
    if (std::fabs(b) > 1e-12) keep(-c / b);
    return;
  }
  double discriminant = b * b - 4 * a * c;
  if (discriminant < 0) return;
  double root = std::sqrt(discriminant);
  keep((-b + root) / (2 * a));
  keep((-b - root) / (2 * a));
}

}  // namespace

void PathGeometry::moveTo(Point p) {
  _segments.push_back({Verb::Move, {p}});
  _start = _current = p;
  _open = true;
}

void PathGeometry::beginIfClosed() {
  if (!_open) moveTo(_current);
}

void PathGeometry::lineTo(Point p) {
  beginIfClosed();
  _segments.push_back({Verb::Line, {p}});
  _current = p;
}

void PathGeometry::cubicTo(Point c1, Point c2, Point end) {
  beginIfClosed();
  _segments.push_back({Verb::Cubic, {c1, c2, end}});
  _current = end;
}

void PathGeometry::quadTo(Point control, Point end) {
  Point from = _current;
  cubicTo(lerp(from, control, 2.0 / 3), lerp(end, control, 2.0 / 3), end);
}

void PathGeometry::arcTo(double rx, double ry, double xAxisRotation, bool largeArc, bool sweep,
                         Point end) {
  Point from = _current;
  if (from == end) return;
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  if (rx == 0 || ry == 0) {
    lineTo(end);
    return;
  }
  double phi = xAxisRotation * kPi / 180, cosPhi = std::cos(phi), sinPhi = std::sin(phi);
  double dx = (from.x - end.x) / 2, dy = (from.y - end.y) / 2;
  double x1 = cosPhi * dx + sinPhi * dy, y1 = -sinPhi * dx + cosPhi * dy;
  double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1) {
    double s = std::sqrt(lambda);
    rx *= s;
    ry *= s;
  }
  double numerator = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
  double denominator = rx * rx * y1 * y1 + ry * ry * x1 * x1;
  double factor = std::sqrt(std::max(0.0, numerator / denominator));
  if (largeArc == sweep) factor = -factor;
  double cx1 = factor * rx * y1 / ry, cy1 = -factor * ry * x1 / rx;
  double cx = cosPhi * cx1 - sinPhi * cy1 + (from.x + end.x) / 2;
  double cy = sinPhi * cx1 + cosPhi * cy1 + (from.y + end.y) / 2;
  auto angle = [](double ux, double uy, double vx, double vy) {
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
  };
  double theta1 = angle(1, 0, (x1 - cx1) / rx, (y1 - cy1) / ry);
  double delta = angle((x1 - cx1) / rx, (y1 - cy1) / ry, (-x1 - cx1) / rx, (-y1 - cy1) / ry);
  if (!sweep && delta > 0) delta -= 2 * kPi;
  if (sweep && delta < 0) delta += 2 * kPi;
  int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(delta) / (kPi / 2) - 1e-9)));
  double step = delta / pieces;
  double k = 4.0 / 3 * std::tan(step / 4);
  auto onEllipse = [&](double t, double scale, double offsetAngle) {
    // The point at angle t moved along the tangent by `scale`, in user space.
    double ex = rx * (std::cos(t) - scale * std::sin(t) * offsetAngle);
    double ey = ry * (std::sin(t) + scale * std::cos(t) * offsetAngle);
    return Point{cosPhi * ex - sinPhi * ey + cx, sinPhi * ex + cosPhi * ey + cy};
  };
  for (int i = 0; i < pieces; ++i) {
    double t0 = theta1 + i * step, t1 = t0 + step;
    Point c1 = onEllipse(t0, k, 1), c2 = onEllipse(t1, k, -1);
    cubicTo(c1, c2, i == pieces - 1 ? end : onEllipse(t1, 0, 0));
  }
}

void PathGeometry::close() {
  if (!_open) return;
  _segments.push_back({Verb::Close, {}});
  _current = _start;
  _open = false;
}

void PathGeometry::addEllipse(Point c, double rx, double ry) {
  constexpr double k = 0.5522847498307936;  // control distance of a cubic quarter circle
  moveTo({c.x + rx, c.y});
  cubicTo({c.x + rx, c.y + k * ry}, {c.x + k * rx, c.y + ry}, {c.x, c.y + ry});
  cubicTo({c.x - k * rx, c.y + ry}, {c.x - rx, c.y + k * ry}, {c.x - rx, c.y});
  cubicTo({c.x - rx, c.y - k * ry}, {c.x - k * rx, c.y - ry}, {c.x, c.y - ry});
  cubicTo({c.x + k * rx, c.y - ry}, {c.x + rx, c.y - k * ry}, {c.x + rx, c.y});
  close();
}

void PathGeometry::append(const PathGeometry& other) {
  _segments.insert(_segments.end(), other._segments.begin(), other._segments.end());
  _start = other._start;
  _current = other._current;
  _open = other._open;
}

int PathGeometry::subpathCount() const {
  return static_cast<int>(std::count_if(_segments.begin(), _segments.end(),
                                        [](const Segment& s) { return s.verb == Verb::Move; }));
}

bool PathGeometry::isFinite() const {
  for (const Segment& s : _segments)
    for (const Point& p : s.points)
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  return true;
}

PathGeometry PathGeometry::transformed(const AffineTransform& transform) const {
  PathGeometry result = *this;
  for (Segment& s : result._segments)
    for (Point& p : s.points) p = transform.apply(p);
  result._start = transform.apply(_start);
  result._current = transform.apply(_current);
  return result;
}

std::optional<Rect> PathGeometry::bounds() const {
  bool any = false;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  auto add = [&](Point p) {
    if (!any) {
      minX = maxX = p.x;
      minY = maxY = p.y;
      any = true;
    }
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  };
  Point current;
  for (const Segment& s : _segments) {
    switch (s.verb) {
      case Verb::Move:
      case Verb::Line:
        add(s.points[0]);
        current = s.points[0];
        break;
      case Verb::Cubic: {
        std::vector<double> ts;
        cubicExtremes(current.x, s.points[0].x, s.points[1].x, s.points[2].x, ts);
        cubicExtremes(current.y, s.points[0].y, s.points[1].y, s.points[2].y, ts);
        for (double t : ts) add(cubicPoint(current, s.points[0], s.points[1], s.points[2], t));
        add(s.points[2]);
        current = s.points[2];
        break;
      }
      case Verb::Close:
        break;
    }
  }
  if (!any) return std::nullopt;
  return Rect(minX, minY, maxX - minX, maxY - minY);
}

std::vector<PathGeometry::Polyline> PathGeometry::flattened(double tolerance) const {
  std::vector<Polyline> result;
  Polyline line;
  bool drawn = false;
  auto add = [&](Point p, bool joint) {
    if (!line.points.empty() && line.points.back() == p) {
      if (joint) line.joints.back() = true;
      return;
    }
    line.points.push_back(p);
    line.joints.push_back(joint);
  };
  auto finish = [&](bool closed) {
    if (drawn && !line.points.empty()) {
      if (closed && line.points.size() > 1 && line.points.front() == line.points.back()) {
        line.points.pop_back();
        line.joints.pop_back();
      }
      line.closed = closed;
      result.push_back(line);
    }
    line = Polyline();
    drawn = false;
  };
  Point current;
  for (const Segment& s : _segments) {
    switch (s.verb) {
      case Verb::Move:
        finish(false);
        add(s.points[0], true);
        current = s.points[0];
        break;
      case Verb::Line:
        add(s.points[0], true);
        current = s.points[0];
        drawn = true;
        break;
      case Verb::Cubic: {
        const Point &p1 = s.points[0], &p2 = s.points[1], &p3 = s.points[2];
        double ddx =
            std::max(std::fabs(current.x - 2 * p1.x + p2.x), std::fabs(p1.x - 2 * p2.x + p3.x));
        double ddy =
            std::max(std::fabs(current.y - 2 * p1.y + p2.y), std::fabs(p1.y - 2 * p2.y + p3.y));
        double spread = std::hypot(ddx, ddy);
        int pieces = static_cast<int>(std::ceil(std::sqrt(0.75 * spread / tolerance)));
        pieces = std::clamp(pieces, 1, 1000);
        for (int i = 1; i < pieces; ++i)
          add(cubicPoint(current, p1, p2, p3, static_cast<double>(i) / pieces), false);
        add(p3, true);
        current = p3;
        drawn = true;
        break;
      }
      case Verb::Close:
        finish(true);
        break;
    }
  }
  finish(false);
  return result;
}

}  // namespace svgconvert
