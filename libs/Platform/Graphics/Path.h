#pragma once

#include <vector>

#include "Graphics/Geometry.h"

namespace platform {

// A drawing path built once and drawn many times: moves, lines, cubic curves and closes, with
// the ellipse and rectangle shapes the phone's library adds as such segments.
class Path {
 public:
  enum class Verb { Move, Line, Curve, Close };
  struct Element {
    Verb verb;
    Point points[3];  // Move and Line use points[0]; Curve uses all three (two controls, end)
  };

  void moveToPoint(double x, double y);
  void addLineToPoint(double x, double y);
  void addCurveToPoint(double x1, double y1, double x2, double y2, double x, double y);
  void closeSubpath();
  // Four cubic quarter arcs starting at the right-most point.
  void addEllipseInRect(const Rect& rect);
  // A closed subpath: the corners in order, starting at the origin.
  void addRect(const Rect& rect);

  const std::vector<Element>& elements() const { return _elements; }
  bool isEmpty() const { return _elements.empty(); }

 private:
  std::vector<Element> _elements;
};

// A colour ramp: stops at locations 0 to 1 with RGBA colours (channels 0 to 1).
struct Gradient {
  struct Stop {
    double location;
    double red, green, blue, alpha;
  };
  std::vector<Stop> stops;
};

}  // namespace platform
