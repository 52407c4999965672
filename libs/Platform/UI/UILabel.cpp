#include "UI/UILabel.h"

#include <algorithm>
#include <cmath>

#include "UI/ImageDrawing.h"
#include "UI/InterfaceContext.h"

namespace platform {

UILabel::UILabel() {
  setUserInteractionEnabled(false);
  setOpaque(false);
}

UILabel::UILabel(Rect frame) : UIView(frame) {
  setUserInteractionEnabled(false);
  setOpaque(false);
}

void UILabel::textChanged() {
  _rendered.reset();
  setNeedsComposite();
}

void UILabel::setText(std::string text) {
  if (text == _text) return;
  _text = std::move(text);
  textChanged();
}

void UILabel::setFont(UIFont font) {
  if (font == _style.font) return;
  _style.font = std::move(font);
  textChanged();
}

void UILabel::setTextColor(UIColor color) {
  if (color == _style.color) return;
  _style.color = color;
  textChanged();
}

void UILabel::setTextAlignment(NSTextAlignment alignment) {
  if (alignment == _style.alignment) return;
  _style.alignment = alignment;
  textChanged();
}

void UILabel::setNumberOfLines(int lines) {
  if (lines == _style.numberOfLines) return;
  _style.numberOfLines = lines;
  textChanged();
}

void UILabel::setAdjustsFontSizeToFitWidth(bool adjusts) {
  if (adjusts == _adjustsFontSize) return;
  _adjustsFontSize = adjusts;
  textChanged();
}

void UILabel::setMinimumFontSize(double size) {
  if (size == _minimumFontSize) return;
  _minimumFontSize = size;
  textChanged();
}

void UILabel::setLineBreakMode(NSLineBreakMode mode) {
  if (mode == _style.lineBreakMode) return;
  _style.lineBreakMode = mode;
  textChanged();
}

void UILabel::setHighlighted(bool highlighted) {
  if (highlighted == _highlighted) return;
  _highlighted = highlighted;
  if (_highlightedColor) textChanged();
}

void UILabel::setHighlightedTextColor(std::optional<UIColor> color) {
  _highlightedColor = color;
  if (_highlighted) textChanged();
}

Size UILabel::sizeThatFits(Size size) const {
  if (_text.empty()) return {0, 0};
  double width = _style.numberOfLines == 1 ? 0 : size.width;
  return TextRenderer::sizeOfText(_text, _style, width);
}

void UILabel::drawLayerContents(BitmapContext& context, double scale) const {
  if (_text.empty()) return;
  Rect b = bounds();
  if (!_rendered || _renderedSize != b.size || _renderedScale != scale) {
    TextRenderer::Style style = _style;
    if (_highlighted && _highlightedColor) style.color = *_highlightedColor;
    if (_adjustsFontSize && style.numberOfLines == 1 && b.size.width > 0) {
      double width = TextRenderer::sizeOfText(_text, style, 0).width;
      double size = style.font.pointSize();
      if (width > b.size.width)
        style.font = style.font.fontWithSize(
            std::max(_minimumFontSize, std::floor(size * b.size.width / width)));
    }
    _rendered = TextRenderer::renderText(_text, style, b.size, scale);
    _renderedSize = b.size;
    _renderedScale = scale;
  }
  if (_rendered) drawPicture(context, *_rendered, b);
}

bool UILabel::applyAttribute(const std::string& name, const std::string& value,
                             InterfaceContext& context, std::string& error) {
  if (name == "text") {
    setText(value);
    return true;
  }
  if (name == "font") {
    // "Name size", the size last.
    auto space = value.rfind(' ');
    if (space == std::string::npos || space == 0) {
      error = "malformed font \"" + value + "\" (expected \"Name size\")";
      return false;
    }
    auto size = context.parseNumber(value.substr(space + 1), error);
    if (!size || *size <= 0) {
      if (size) error = "malformed font size in \"" + value + "\"";
      return false;
    }
    std::string family = value.substr(0, space);
    setFont(family == "system"       ? UIFont::systemFontOfSize(*size)
            : family == "boldSystem" ? UIFont::boldSystemFontOfSize(*size)
                                     : UIFont::fontWithName(family, *size));
    return true;
  }
  if (name == "textColor" || name == "highlightedTextColor") {
    auto c = context.parseColor(value, error);
    if (!c) return false;
    name == "textColor" ? setTextColor(*c) : setHighlightedTextColor(*c);
    return true;
  }
  if (name == "textAlignment" || name == "numberOfLines" || name == "lineBreakMode") {
    auto n = context.parseInteger(value, error);
    if (!n) return false;
    if (name == "numberOfLines") {
      setNumberOfLines(*n);
      return true;
    }
    int limit = name == "textAlignment" ? 2 : 5;
    if (*n < 0 || *n > limit) {
      error = name + " must be 0 to " + std::to_string(limit);
      return false;
    }
    if (name == "textAlignment") setTextAlignment(static_cast<NSTextAlignment>(*n));
    if (name == "lineBreakMode") setLineBreakMode(static_cast<NSLineBreakMode>(*n));
    return true;
  }
  return UIView::applyAttribute(name, value, context, error);
}

}  // namespace platform
