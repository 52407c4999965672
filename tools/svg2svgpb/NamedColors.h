#pragma once

#include <optional>
#include <string_view>

#include "SvgValues.h"

namespace svgconvert {

// The colour keywords of SVG and CSS, looked up without regard to case.
std::optional<Color> namedColor(std::string_view name);

}  // namespace svgconvert
