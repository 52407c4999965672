#pragma once

#include <string>

#include "PathGeometry.h"

namespace svgconvert {

// Text as outlines: Pango lays the text out in the font that fontconfig resolves for the named
// families, and cairo gives the glyphs' outlines, which become a path to fill like any shape.
class TextOutliner {
 public:
  enum class Anchor { Start, Middle, End };
  struct Font {
    std::string families = "sans-serif";  // as written: a comma-separated list
    double size = 16;                     // in user units
    int weight = 400;
    bool italic = false;
    int stretch = 4;  // Pango's scale: 0 ultra-condensed, 2 condensed, 4 normal, 8 ultra-expanded
  };
  struct Outline {
    PathGeometry geometry;
    // The font used is none of the named families (a generic family counts as found).
    bool substituted = false;
  };

  // One line of text with its baseline starting at (or, by the anchor, centred on or ending
  // at) `origin`.
  static Outline outline(const std::string& text, const Font& font, Point origin, Anchor anchor);
};

}  // namespace svgconvert
