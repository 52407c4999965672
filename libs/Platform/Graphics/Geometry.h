#pragma once

#include <algorithm>
#include <cmath>

namespace platform {

// Points, sizes and rectangles in the drawing layer's units (points or pixels, as the caller
// says), with the phone's geometry conventions.
struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  double width = 0;
  double height = 0;
  bool operator==(const Size&) const = default;
};

struct EdgeInsets {
  double top = 0;
  double left = 0;
  double bottom = 0;
  double right = 0;
  bool operator==(const EdgeInsets&) const = default;
};

struct Rect {
  Point origin;
  Size size;

  Rect() = default;
  Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}
  Rect(Point o, Size s) : origin(o), size(s) {}
  bool operator==(const Rect&) const = default;

  // Negative widths and heights are allowed and mean the same rectangle turned round.
  Rect standardized() const {
    Rect r = *this;
    if (r.size.width < 0) {
      r.origin.x += r.size.width;
      r.size.width = -r.size.width;
    }
    if (r.size.height < 0) {
      r.origin.y += r.size.height;
      r.size.height = -r.size.height;
    }
    return r;
  }
  double minX() const { return std::min(origin.x, origin.x + size.width); }
  double maxX() const { return std::max(origin.x, origin.x + size.width); }
  double minY() const { return std::min(origin.y, origin.y + size.height); }
  double maxY() const { return std::max(origin.y, origin.y + size.height); }
  double midX() const { return origin.x + size.width / 2; }
  double midY() const { return origin.y + size.height / 2; }
  double width() const { return std::fabs(size.width); }
  double height() const { return std::fabs(size.height); }
  bool isEmpty() const { return size.width == 0 || size.height == 0 || !isFinite(); }
  bool isFinite() const {
    return std::isfinite(origin.x) && std::isfinite(origin.y) && std::isfinite(size.width) &&
           std::isfinite(size.height);
  }
  bool contains(Point p) const {
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
  }
  // The common part; an empty rectangle at the origin when there is none.
  Rect intersection(const Rect& other) const {
    double x0 = std::max(minX(), other.minX()), y0 = std::max(minY(), other.minY());
    double x1 = std::min(maxX(), other.maxX()), y1 = std::min(maxY(), other.maxY());
    if (x1 <= x0 || y1 <= y0) return Rect();
    return Rect(x0, y0, x1 - x0, y1 - y0);
  }
  Rect insetBy(double dx, double dy) const {
    Rect r = standardized();
    return Rect(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy);
  }
};

}  // namespace platform
