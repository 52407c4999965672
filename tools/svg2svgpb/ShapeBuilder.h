#pragma once

#include <optional>
#include <pugixml.hpp>

#include "PathGeometry.h"
#include "SvgValues.h"

namespace svgconvert {

// The geometry of a basic shape or path element in its own user space. Plain rectangles,
// circles and ellipses also keep their parameters, since the picture format has them as shapes
// that draw the same outline in fewer bytes.
struct Shape {
  enum class Kind { Outline, Rect, Circle, Ellipse };
  Kind kind = Kind::Outline;
  PathGeometry geometry;
  Rect rect;              // Rect
  Point center;           // Circle and Ellipse
  double rx = 0, ry = 0;  // Circle uses rx
  bool complete = true;   // false when the element's data had an error (drawn up to it)

  // The same shape with every coordinate multiplied by `factor`.
  Shape scaled(double factor) const;
};

class ShapeBuilder {
 public:
  // None for elements that are no shape or that SVG does not draw (a zero-size rectangle, a
  // circle without radius).
  static std::optional<Shape> build(const pugi::xml_node& element, const Viewport& viewport);
};

}  // namespace svgconvert
