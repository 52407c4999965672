#pragma once

#include <string>
#include <vector>

#include "Stroker.h"
#include "StyleSheet.h"
#include "SvgValues.h"
#include "TextOutliner.h"

namespace svgconvert {

// The styling properties of one element after the cascade: inherited ones come from the
// parent, the others start at their initial values; then the element's declarations apply in
// order, invalid values being ignored.
struct ComputedStyle {
  // Inherited.
  Paint fill{Paint::Kind::Color};
  double fillOpacity = 1;
  bool evenOdd = false;
  Paint stroke;
  Length strokeWidth{1, false};
  double strokeOpacity = 1;
  LineCap lineCap = LineCap::Butt;
  LineJoin lineJoin = LineJoin::Miter;
  double miterLimit = 4;
  bool dashed = false;            // a dash pattern that leaves gaps
  std::vector<Length> dashArray;  // when dashed
  Length dashOffset;
  Color color;
  // Text.
  std::string fontFamily = "sans-serif";
  double fontSize = 16;  // user units
  int fontWeight = 400;
  int fontStretch = 4;  // 0 ultra-condensed .. 4 normal .. 8 ultra-expanded
  bool italic = false;
  TextOutliner::Anchor textAnchor = TextOutliner::Anchor::Start;
  bool visible = true;
  bool markers = false;
  // Not inherited.
  double opacity = 1;
  bool displayed = true;
  bool filter = false;
  bool mask = false;
  bool clipPath = false;
  bool blended = false;
  Color stopColor;
  double stopOpacity = 1;

  // The style of an element with these declarations under `parent`.
  static ComputedStyle derive(const ComputedStyle& parent,
                              const std::vector<Declaration>& declarations);

 private:
  void apply(const Declaration& declaration, const ComputedStyle& parent);
};

}  // namespace svgconvert
