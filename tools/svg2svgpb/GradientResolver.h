#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

#include "StyleSheet.h"
#include "SvgValues.h"

namespace svgconvert {

// A linear or radial gradient with its attributes resolved along its href chain, as SVG
// inherits them: each attribute from the nearest gradient of the chain that sets it, the stops
// from the nearest one that has any.
struct GradientDefinition {
  struct Stop {
    double offset = 0;
    Color color;  // alpha is the stop opacity
  };
  bool radial = false;
  bool userSpace = false;  // gradientUnits="userSpaceOnUse"
  platform::AffineTransform transform;
  Length x1{0, true}, y1{0, true}, x2{100, true}, y2{0, true};
  Length cx{50, true}, cy{50, true}, r{50, true};
  std::optional<Length> fx, fy;
  std::string spread = "pad";
  std::vector<Stop> stops;
};

class GradientResolver {
 public:
  GradientResolver(const std::unordered_map<std::string, pugi::xml_node>& elements,
                   const StyleSheet& styleSheet)
      : _elements(elements), _styleSheet(styleSheet) {}
  // None when the identifier names no gradient.
  std::optional<GradientDefinition> resolve(const std::string& identifier) const;
  // Whether the identifier names an element of this local name.
  bool names(const std::string& identifier, std::string_view localName) const;

 private:
  const std::unordered_map<std::string, pugi::xml_node>& _elements;
  const StyleSheet& _styleSheet;
};

}  // namespace svgconvert
