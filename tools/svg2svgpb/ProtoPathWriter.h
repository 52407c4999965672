#pragma once

#include "ShapeBuilder.h"
#include "svg.pb.h"

namespace svgconvert {

// Writes outlines into path messages. Consecutive operations share one PathPoint where the
// format's order (move, line, curve, close) allows, which keeps files small.
class ProtoPathWriter {
 public:
  static void writeGeometry(const PathGeometry& geometry, ProtoSVGElementPath& path);
  // Rectangles, circles and ellipses as the format's own shapes, the rest as points.
  static void writeShape(const Shape& shape, ProtoSVGElementPath& path);
};

}  // namespace svgconvert
