#pragma once

#include <string>

namespace platform {

// A font by the phone's PostScript name and a size in points. Names map onto the fonts that
// fontconfig has: Helvetica and Arial to Liberation Sans, the condensed Helvetica Neue faces to
// DejaVu Sans Condensed; the style after the dash gives weight and slant.
class UIFont {
 public:
  UIFont() = default;
  UIFont(std::string fontName, double pointSize)
      : _fontName(std::move(fontName)), _pointSize(pointSize) {}

  static UIFont fontWithName(const std::string& name, double size) { return UIFont(name, size); }
  static UIFont systemFontOfSize(double size) { return UIFont("Helvetica", size); }
  static UIFont boldSystemFontOfSize(double size) { return UIFont("Helvetica-Bold", size); }

  const std::string& fontName() const { return _fontName; }
  double pointSize() const { return _pointSize; }
  UIFont fontWithSize(double size) const { return UIFont(_fontName, size); }

  // The Pango font description ("Liberation Sans Bold 17px"-like) this font maps to.
  std::string pangoDescription() const;

  bool operator==(const UIFont&) const = default;

 private:
  std::string _fontName = "Helvetica";
  double _pointSize = 17;
};

}  // namespace platform
