#include "Graphics/UIFont.h"

#include <algorithm>
#include <cstdio>

namespace platform {
namespace {

bool contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

std::string UIFont::pangoDescription() const {
  std::string family = _fontName, style;
  if (auto dash = _fontName.find('-'); dash != std::string::npos) {
    family = _fontName.substr(0, dash);
    style = _fontName.substr(dash + 1);
  }
  std::string lower = family;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  bool condensed = contains(style, "Condensed");
  std::string mapped;
  if (lower == "helveticaneue" && condensed) {
    mapped = "DejaVu Sans Condensed";
  } else if (lower == "helvetica" || lower == "helveticaneue" || lower == "arial" ||
             lower == ".helveticaneueui" || lower.empty()) {
    mapped = "Liberation Sans";
  } else if (lower == "timesnewroman" || lower == "times") {
    mapped = "Liberation Serif";
  } else if (lower == "courier" || lower == "couriernew") {
    mapped = "Liberation Mono";
  } else {
    mapped = family;  // a family fontconfig may know; it falls back otherwise
  }
  std::string description = mapped;
  if (contains(style, "Bold") || contains(style, "Heavy") || contains(style, "Black"))
    description += " Bold";
  else if (contains(style, "Medium"))
    description += " Medium";
  else if (contains(style, "Light"))
    description += " Light";
  if (contains(style, "Oblique") || contains(style, "Italic")) description += " Italic";
  char size[32];
  std::snprintf(size, sizeof size, " %gpx", _pointSize > 0 ? _pointSize : 17);
  return description + size;
}

}  // namespace platform
