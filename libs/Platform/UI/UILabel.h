#pragma once

#include <memory>
#include <string>

#include "Graphics/TextRenderer.h"
#include "Graphics/UIFont.h"
#include "UI/UIView.h"

namespace platform {

// One or more lines of text in a font and colour, aligned horizontally and centred
// vertically in the bounds. The set text is kept as a picture until something about it
// changes. Clear background and no touches by default.
class UILabel : public UIView {
 public:
  UILabel();
  explicit UILabel(Rect frame);
  std::string className() const override { return "UILabel"; }

  const std::string& text() const { return _text; }
  void setText(std::string text);
  const UIFont& font() const { return _style.font; }
  void setFont(UIFont font);
  UIColor textColor() const { return _style.color; }
  void setTextColor(UIColor color);
  NSTextAlignment textAlignment() const { return _style.alignment; }
  void setTextAlignment(NSTextAlignment alignment);
  int numberOfLines() const { return _style.numberOfLines; }
  void setNumberOfLines(int lines);
  NSLineBreakMode lineBreakMode() const { return _style.lineBreakMode; }
  // A one-line text wider than the label is set smaller, down to minimumFontSize, rather than
  // cut; the font itself stays as set.
  bool adjustsFontSizeToFitWidth() const { return _adjustsFontSize; }
  void setAdjustsFontSizeToFitWidth(bool adjusts);
  double minimumFontSize() const { return _minimumFontSize; }
  void setMinimumFontSize(double size);
  void setLineBreakMode(NSLineBreakMode mode);
  bool isHighlighted() const { return _highlighted; }
  void setHighlighted(bool highlighted);
  std::optional<UIColor> highlightedTextColor() const { return _highlightedColor; }
  void setHighlightedTextColor(std::optional<UIColor> color);

  Size sizeThatFits(Size size) const override;
  void drawLayerContents(BitmapContext& context, double scale) const override;
  bool applyAttribute(const std::string& name, const std::string& value, InterfaceContext& context,
                      std::string& error) override;

 private:
  void textChanged();
  std::string _text;
  TextRenderer::Style _style;
  bool _adjustsFontSize = false;
  double _minimumFontSize = 0;
  bool _highlighted = false;
  std::optional<UIColor> _highlightedColor;
  // The set text for the size and scale it was made for.
  mutable std::shared_ptr<Image> _rendered;
  mutable Size _renderedSize;
  mutable double _renderedScale = 0;
};

}  // namespace platform
