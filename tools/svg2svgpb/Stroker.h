#pragma once

#include <vector>

#include "PathGeometry.h"

namespace svgconvert {

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };

struct StrokeStyle {
  double width = 1;
  LineCap cap = LineCap::Butt;
  LineJoin join = LineJoin::Miter;
  double miterLimit = 4;
};

// Turns a stroke into an outline to fill with the non-zero rule. The outline is a union of
// pieces that all wind the same way (strips along runs of gently turning segments, one piece per
// sharper join, one per cap), so overlaps never cancel.
class Stroker {
 public:
  // `tolerance` bounds the distance between curves and their flattened pieces.
  static PathGeometry outline(const PathGeometry& path, const StrokeStyle& style, double tolerance);
  // Whether a stroke of `style` looks the same as one with butt caps, miter joins and
  // `otherMiterLimit`: true when the caps and joins agree and no corner of the path has a miter
  // ratio that one limit keeps and the other bevels.
  // An opaque stroke with round joins (and round or butt caps) drawn as the renderer's own
  // butt stroke of the path cut at its corners, plus a disk at every corner and round-capped
  // end: the round stroke is the union of disks along the path, so the pieces add up to it.
  struct RoundPieces {
    PathGeometry spine;       // the path, cut into corner-free subpaths
    std::vector<Point> dots;  // centres of the disks
  };
  static RoundPieces roundPieces(const PathGeometry& path, bool roundCaps);
  static bool matchesButtMiter(const PathGeometry& path, const StrokeStyle& style,
                               double otherMiterLimit);
};

}  // namespace svgconvert
