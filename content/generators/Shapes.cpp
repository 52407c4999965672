#include "Shapes.h"

#include <algorithm>
#include <cmath>

namespace Shapes {
namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

platform::Path rect(double x, double y, double width, double height) {
  platform::Path path;
  path.addRect(platform::Rect(x, y, width, height));
  return path;
}

platform::Path roundedRect(double x, double y, double width, double height, double radius) {
  radius = std::min({radius, width / 2, height / 2});
  // 0.5523 puts the control points of a quarter circle.
  double k = radius * (1 - 0.5523);
  platform::Path path;
  path.moveToPoint(x + radius, y);
  path.addLineToPoint(x + width - radius, y);
  path.addCurveToPoint(x + width - k, y, x + width, y + k, x + width, y + radius);
  path.addLineToPoint(x + width, y + height - radius);
  path.addCurveToPoint(x + width, y + height - k, x + width - k, y + height, x + width - radius,
                       y + height);
  path.addLineToPoint(x + radius, y + height);
  path.addCurveToPoint(x + k, y + height, x, y + height - k, x, y + height - radius);
  path.addLineToPoint(x, y + radius);
  path.addCurveToPoint(x, y + k, x + k, y, x + radius, y);
  path.closeSubpath();
  return path;
}

platform::Path circle(double cx, double cy, double r) {
  return ellipse(cx, cy, r, r);
}

platform::Path ellipse(double cx, double cy, double rx, double ry) {
  platform::Path path;
  path.addEllipseInRect(platform::Rect(cx - rx, cy - ry, 2 * rx, 2 * ry));
  return path;
}

platform::Path polygon(double cx, double cy, double r, int corners, double turn) {
  platform::Path path;
  for (int i = 0; i < corners; ++i) {
    double angle = turn - kPi / 2 + 2 * kPi * i / corners;
    double x = cx + r * std::cos(angle), y = cy + r * std::sin(angle);
    i == 0 ? path.moveToPoint(x, y) : path.addLineToPoint(x, y);
  }
  path.closeSubpath();
  return path;
}

platform::Path star(double cx, double cy, double outer, double inner, int points, double turn) {
  platform::Path path;
  for (int i = 0; i < 2 * points; ++i) {
    double r = i % 2 == 0 ? outer : inner;
    double angle = turn - kPi / 2 + kPi * i / points;
    double x = cx + r * std::cos(angle), y = cy + r * std::sin(angle);
    i == 0 ? path.moveToPoint(x, y) : path.addLineToPoint(x, y);
  }
  path.closeSubpath();
  return path;
}

platform::Path heart(double cx, double cy, double size) {
  double s = size / 2;
  platform::Path path;
  path.moveToPoint(cx, cy + 0.85 * s);
  path.addCurveToPoint(cx - 0.2 * s, cy + 0.6 * s, cx - s, cy + 0.15 * s, cx - s, cy - 0.3 * s);
  path.addCurveToPoint(cx - s, cy - 0.75 * s, cx - 0.55 * s, cy - 0.95 * s, cx - 0.45 * s,
                       cy - 0.95 * s);
  path.addCurveToPoint(cx - 0.2 * s, cy - 0.95 * s, cx - 0.05 * s, cy - 0.8 * s, cx, cy - 0.6 * s);
  path.addCurveToPoint(cx + 0.05 * s, cy - 0.8 * s, cx + 0.2 * s, cy - 0.95 * s, cx + 0.45 * s,
                       cy - 0.95 * s);
  path.addCurveToPoint(cx + 0.55 * s, cy - 0.95 * s, cx + s, cy - 0.75 * s, cx + s, cy - 0.3 * s);
  path.addCurveToPoint(cx + s, cy + 0.15 * s, cx + 0.2 * s, cy + 0.6 * s, cx, cy + 0.85 * s);
  path.closeSubpath();
  return path;
}

namespace {

void addWave(platform::Path& path, double fromX, double toX, double y, double amplitude,
             double wavelength, double phase) {
  const int steps = 48;
  for (int i = 0; i <= steps; ++i) {
    double x = fromX + (toX - fromX) * i / steps;
    path.addLineToPoint(x, y + amplitude * std::sin(2 * kPi * x / wavelength + phase));
  }
}

}  // namespace

platform::Path wavyTopBand(double width, double y, double amplitude, double wavelength,
                           double phase) {
  platform::Path path;
  path.moveToPoint(0, -1);
  path.addLineToPoint(width, -1);
  addWave(path, width, 0, y, amplitude, wavelength, phase);
  path.closeSubpath();
  return path;
}

platform::Path wavyBottomBand(double width, double y, double bottom, double amplitude,
                              double wavelength, double phase) {
  platform::Path path;
  path.moveToPoint(0, bottom + 1);
  addWave(path, 0, width, y, amplitude, wavelength, phase);
  path.addLineToPoint(width, bottom + 1);
  path.closeSubpath();
  return path;
}

platform::Path scallopedRect(double x, double y, double width, double height, double radius) {
  platform::Path path = rect(x, y, width, height);
  int across = std::max(1, int(std::round(width / (3 * radius))));
  int down = std::max(1, int(std::round(height / (3 * radius))));
  for (int i = 0; i <= across; ++i) {
    double bx = x + width * i / across;
    append(path, circle(bx, y, radius));
    append(path, circle(bx, y + height, radius));
  }
  for (int i = 1; i < down; ++i) {
    double by = y + height * i / down;
    append(path, circle(x, by, radius));
    append(path, circle(x + width, by, radius));
  }
  return path;
}

platform::Path smoothLine(const std::vector<platform::Point>& points) {
  platform::Path path;
  if (points.empty()) return path;
  path.moveToPoint(points[0].x, points[0].y);
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const platform::Point& p0 = points[i == 0 ? 0 : i - 1];
    const platform::Point& p1 = points[i];
    const platform::Point& p2 = points[i + 1];
    const platform::Point& p3 = points[i + 2 < points.size() ? i + 2 : i + 1];
    path.addCurveToPoint(p1.x + (p2.x - p0.x) / 6, p1.y + (p2.y - p0.y) / 6,
                         p2.x - (p3.x - p1.x) / 6, p2.y - (p3.y - p1.y) / 6, p2.x, p2.y);
  }
  return path;
}

platform::Path petals(double cx, double cy, double length, double width, int count, double turn) {
  platform::Path path;
  for (int i = 0; i < count; ++i) {
    double angle = turn + 2 * kPi * i / count;
    double c = std::cos(angle), s = std::sin(angle);
    // One petal: a pointed oval from the centre outward.
    auto at = [&](double along, double across) {
      return platform::Point{cx + along * c - across * s, cy + along * s + across * c};
    };
    platform::Point tip = at(length, 0);
    platform::Point a1 = at(length * 0.3, width), a2 = at(length * 0.85, width * 0.9);
    platform::Point b1 = at(length * 0.85, -width * 0.9), b2 = at(length * 0.3, -width);
    path.moveToPoint(cx, cy);
    path.addCurveToPoint(a1.x, a1.y, a2.x, a2.y, tip.x, tip.y);
    path.addCurveToPoint(b1.x, b1.y, b2.x, b2.y, cx, cy);
    path.closeSubpath();
  }
  return path;
}

platform::Path line(double x0, double y0, double x1, double y1) {
  platform::Path path;
  path.moveToPoint(x0, y0);
  path.addLineToPoint(x1, y1);
  return path;
}

void append(platform::Path& path, const platform::Path& other) {
  for (const platform::Path::Element& e : other.elements()) {
    switch (e.verb) {
      case platform::Path::Verb::Move:
        path.moveToPoint(e.points[0].x, e.points[0].y);
        break;
      case platform::Path::Verb::Line:
        path.addLineToPoint(e.points[0].x, e.points[0].y);
        break;
      case platform::Path::Verb::Curve:
        path.addCurveToPoint(e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y,
                             e.points[2].x, e.points[2].y);
        break;
      case platform::Path::Verb::Close:
        path.closeSubpath();
        break;
    }
  }
}

}  // namespace Shapes
