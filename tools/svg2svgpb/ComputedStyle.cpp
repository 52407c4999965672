#include "ComputedStyle.h"

#include <algorithm>
#include <sstream>

#include "PathDataParser.h"

namespace svgconvert {

namespace {

std::optional<double> opacityValue(std::string_view text) {
  text = SvgValues::trim(text);
  bool percent = !text.empty() && text.back() == '%';
  auto value = SvgValues::parseNumber(percent ? text.substr(0, text.size() - 1) : text);
  if (!value) return std::nullopt;
  return std::clamp(percent ? *value / 100 : *value, 0.0, 1.0);
}

bool isReference(std::string_view value) {
  value = SvgValues::trim(value);
  return !value.empty() && value != "none";
}

}  // namespace

ComputedStyle ComputedStyle::derive(const ComputedStyle& parent,
                                    const std::vector<Declaration>& declarations) {
  ComputedStyle style = parent;
  const ComputedStyle initial;
  style.opacity = initial.opacity;
  style.displayed = initial.displayed;
  style.filter = initial.filter;
  style.mask = initial.mask;
  style.clipPath = initial.clipPath;
  style.blended = initial.blended;
  style.stopColor = initial.stopColor;
  style.stopOpacity = initial.stopOpacity;
  for (const Declaration& declaration : declarations) style.apply(declaration, parent);
  return style;
}

void ComputedStyle::apply(const Declaration& d, const ComputedStyle& parent) {
  std::string_view value = SvgValues::trim(d.value);
  const std::string& name = d.name;
  if (value == "inherit") {
    if (name == "fill") fill = parent.fill;
    if (name == "fill-opacity") fillOpacity = parent.fillOpacity;
    if (name == "fill-rule") evenOdd = parent.evenOdd;
    if (name == "stroke") stroke = parent.stroke;
    if (name == "stroke-width") strokeWidth = parent.strokeWidth;
    if (name == "stroke-opacity") strokeOpacity = parent.strokeOpacity;
    if (name == "stroke-linecap") lineCap = parent.lineCap;
    if (name == "stroke-linejoin") lineJoin = parent.lineJoin;
    if (name == "stroke-miterlimit") miterLimit = parent.miterLimit;
    if (name == "stroke-dasharray") dashed = parent.dashed, dashArray = parent.dashArray;
    if (name == "stroke-dashoffset") dashOffset = parent.dashOffset;
    if (name == "color") color = parent.color;
    if (name == "font-family") fontFamily = parent.fontFamily;
    if (name == "font-size") fontSize = parent.fontSize;
    if (name == "font-weight") fontWeight = parent.fontWeight;
    if (name == "font-stretch") fontStretch = parent.fontStretch;
    if (name == "font-style") italic = parent.italic;
    if (name == "text-anchor") textAnchor = parent.textAnchor;
    if (name == "visibility") visible = parent.visible;
    if (name == "opacity") opacity = parent.opacity;
    if (name == "stop-color") stopColor = parent.stopColor;
    if (name == "stop-opacity") stopOpacity = parent.stopOpacity;
    return;
  }
  if (name == "fill" || name == "stroke") {
    auto paint = SvgValues::parsePaint(value);
    if (!paint) return;
    (name == "fill" ? fill : stroke) = *paint;
  } else if (name == "fill-opacity" || name == "stroke-opacity" || name == "opacity" ||
             name == "stop-opacity") {
    auto number = opacityValue(value);
    if (!number) return;
    if (name == "fill-opacity") fillOpacity = *number;
    if (name == "stroke-opacity") strokeOpacity = *number;
    if (name == "opacity") opacity = *number;
    if (name == "stop-opacity") stopOpacity = *number;
  } else if (name == "fill-rule") {
    if (value == "evenodd") evenOdd = true;
    if (value == "nonzero") evenOdd = false;
  } else if (name == "stroke-width") {
    auto length = SvgValues::parseLength(value);
    if (length && length->value >= 0) strokeWidth = *length;
  } else if (name == "stroke-linecap") {
    if (value == "butt") lineCap = LineCap::Butt;
    if (value == "round") lineCap = LineCap::Round;
    if (value == "square") lineCap = LineCap::Square;
  } else if (name == "stroke-linejoin") {
    if (value == "miter" || value == "miter-clip" || value == "arcs") lineJoin = LineJoin::Miter;
    if (value == "round") lineJoin = LineJoin::Round;
    if (value == "bevel") lineJoin = LineJoin::Bevel;
  } else if (name == "stroke-miterlimit") {
    auto number = SvgValues::parseNumber(value);
    if (number && *number >= 1) miterLimit = *number;
  } else if (name == "stroke-dasharray") {
    if (value == "none") {
      dashed = false;
      dashArray.clear();
      return;
    }
    std::vector<Length> lengths;
    std::string text(value);
    std::replace(text.begin(), text.end(), ',', ' ');
    std::istringstream items(text);
    for (std::string item; items >> item;) {
      auto length = SvgValues::parseLength(item);
      if (!length) return;  // an invalid list is ignored
      lengths.push_back(*length);
    }
    double sum = 0;
    bool negative = false;
    for (const Length& length : lengths) {
      sum += length.value;
      negative = negative || length.value < 0;
    }
    // A negative or all-zero list draws a solid stroke.
    dashed = !negative && sum > 0;
    dashArray = dashed ? lengths : std::vector<Length>();
  } else if (name == "font-family") {
    fontFamily = std::string(value);
  } else if (name == "font-size") {
    auto length = SvgValues::parseLength(value);
    // Percentages and em refer to the parent's font size.
    if (length && length->value > 0)
      fontSize = length->percent ? parent.fontSize * length->value / 100
                 : value.size() > 2 && value.substr(value.size() - 2) == "em"
                     ? parent.fontSize * length->value / 16
                     : length->value;
  } else if (name == "font-weight") {
    if (value == "normal") fontWeight = 400;
    if (value == "bold") fontWeight = 700;
    if (value == "bolder") fontWeight = std::min(900, parent.fontWeight + 300);
    if (value == "lighter") fontWeight = std::max(100, parent.fontWeight - 300);
    if (auto number = SvgValues::parseNumber(value); number && *number >= 1 && *number <= 1000)
      fontWeight = static_cast<int>(*number);
  } else if (name == "font-stretch") {
    static const char* const kStretches[] = {
        "ultra-condensed", "extra-condensed", "condensed",      "semi-condensed", "normal",
        "semi-expanded",   "expanded",        "extra-expanded", "ultra-expanded"};
    for (int i = 0; i < 9; ++i)
      if (value == kStretches[i]) fontStretch = i;
    if (value == "narrower") fontStretch = std::max(0, parent.fontStretch - 1);
    if (value == "wider") fontStretch = std::min(8, parent.fontStretch + 1);
  } else if (name == "font-style") {
    italic = value == "italic" || value == "oblique";
  } else if (name == "text-anchor") {
    if (value == "start") textAnchor = TextOutliner::Anchor::Start;
    if (value == "middle") textAnchor = TextOutliner::Anchor::Middle;
    if (value == "end") textAnchor = TextOutliner::Anchor::End;
  } else if (name == "stroke-dashoffset") {
    if (auto length = SvgValues::parseLength(value)) dashOffset = *length;
  } else if (name == "color" || name == "stop-color") {
    Color parsed;
    if (SvgValues::trim(value) == "currentColor" || value == "currentcolor") {
      parsed = name == "color" ? parent.color : color;
    } else {
      auto c = SvgValues::parseColor(value);
      if (!c) return;
      parsed = *c;
    }
    (name == "color" ? color : stopColor) = parsed;
  } else if (name == "visibility") {
    if (value == "visible") visible = true;
    if (value == "hidden" || value == "collapse") visible = false;
  } else if (name == "display") {
    displayed = value != "none";
  } else if (name == "filter") {
    filter = isReference(value);
  } else if (name == "mask") {
    mask = isReference(value);
  } else if (name == "clip-path") {
    clipPath = isReference(value);
  } else if (name == "marker" || name == "marker-start" || name == "marker-mid" ||
             name == "marker-end") {
    markers = isReference(value);
  } else if (name == "mix-blend-mode") {
    blended = value != "normal";
  }
}

}  // namespace svgconvert
