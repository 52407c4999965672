#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Graphics/AffineTransform.h"

namespace svgconvert {

// An sRGB colour with channels 0 to 255 and an alpha 0 to 1 (from #rgba, rgba() and the like).
struct Color {
  int red = 0, green = 0, blue = 0;
  double alpha = 1;
  bool operator==(const Color&) const = default;
};

// A length as written: a number and its unit; percentages are kept for the caller to resolve.
struct Length {
  double value = 0;
  bool percent = false;
};

// The size that percentages refer to: the nearest viewport, in its user units.
struct Viewport {
  enum class Axis { X, Y, Other };
  double width = 100, height = 100;
  double resolve(const Length& length, Axis axis) const;
};

// A fill or stroke: none, a colour, the current colour, or a reference with a fallback.
struct Paint {
  enum class Kind { None, Color, CurrentColor, Reference };
  Kind kind = Kind::None;
  Color color;
  std::string reference;               // the identifier after '#', for Reference
  std::optional<Color> fallbackColor;  // for Reference: used when the identifier names nothing
  bool fallbackNone = false;
};

// Parsers for SVG attribute and property values. Each answers none for text it cannot read,
// so the caller can keep the previous value, as SVG does for invalid ones.
namespace SvgValues {

std::string_view trim(std::string_view text);
std::optional<double> parseNumber(std::string_view text);
// Absolute units become user units (px): pt, pc, mm, cm, in; em and ex use a 16 px font.
std::optional<Length> parseLength(std::string_view text);
// A transform list (matrix, translate, scale, rotate, skewX, skewY), composed left to right.
std::optional<platform::AffineTransform> parseTransform(std::string_view text);
std::optional<Color> parseColor(std::string_view text);
// "currentColor" is answered as a Paint of that kind, for the caller to resolve.
std::optional<Paint> parsePaint(std::string_view text);
// The identifier in "url(#id)" or "#id"; empty when the text is no local reference.
std::string referenceIdentifier(std::string_view text);

}  // namespace SvgValues

}  // namespace svgconvert
