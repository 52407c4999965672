#pragma once

#include "svg.pb.h"

namespace svgconvert {

// Whether every number of a converted picture is finite. A coordinate beyond the float range
// (a width of 1e308, say) would be written as infinity, which no reader can draw.
class FiniteCheck {
 public:
  static bool picture(const ProtoSVGRoot& root);

 private:
  static bool params(const ProtoSVGGeneralParams& params);
  static bool element(const ProtoSVGElement& element);
};

}  // namespace svgconvert
