#pragma once

#include <vector>

#include "PathGeometry.h"

namespace svgconvert {

// Cuts a path into the dashes of a dash pattern: the subpaths that a dashed stroke draws, to be
// stroked like any open path. Lengths are in the path's user units. Curves are flattened within
// `tolerance` first. Each subpath starts the pattern afresh at `offset`, as SVG does; a dash
// running over a closed subpath's starting point comes out as two dashes meeting there.
class Dasher {
 public:
  // The path unchanged when the pattern draws everything (empty, negative or all zero).
  static PathGeometry dash(const PathGeometry& path, std::vector<double> pattern, double offset,
                           double tolerance);
};

}  // namespace svgconvert
