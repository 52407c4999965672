#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "GradientResolver.h"
#include "LossReport.h"
#include "PathGeometry.h"
#include "svg.pb.h"

namespace svgconvert {

// A paint as the picture format can draw it: nothing, a solid colour, or a gradient element.
struct ResolvedPaint {
  enum class Kind { None, Color, Gradient };
  Kind kind = Kind::None;
  Color color;  // for Color; its alpha is to be applied as opacity
  std::string gradientId;
};

// The gradient elements of the output. The format's gradients live in the shape's user space
// with a transform and no unit system of their own, so each SVG gradient becomes one element
// per distinct geometry it is drawn with (one for userSpaceOnUse, one per bounding box for
// objectBoundingBox); identical ones are shared.
class GradientTable {
 public:
  // Gradient elements are added to `definitions`.
  explicit GradientTable(ProtoSVGGeneralParams& definitions) : _definitions(definitions) {}

  // How `definition` paints a shape whose geometry has `bounds` in its own user space.
  ResolvedPaint paintFor(const std::string& identifier, const GradientDefinition& definition,
                         const std::optional<Rect>& bounds, const Viewport& viewport,
                         LossReport& losses);

 private:
  ProtoSVGGeneralParams& _definitions;
  std::map<std::string, std::string> _identifierByContent;
  std::set<std::string> _identifiers;
};

}  // namespace svgconvert
