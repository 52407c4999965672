#include "UI/UIActivityIndicatorView.h"

#include <cmath>
#include <numbers>

#include "Foundation/RunLoop.h"
#include "UI/InterfaceContext.h"

namespace platform {

UIActivityIndicatorView::UIActivityIndicatorView(UIActivityIndicatorViewStyle style)
    : _style(style) {
  setOpaque(false);
  setUserInteractionEnabled(false);
  setHidden(true);
  setFrame(Rect(Point{}, sizeThatFits(Size{})));
}

UIActivityIndicatorView::~UIActivityIndicatorView() {
  if (_timer) RunLoop::main().cancel(_timer);
}

void UIActivityIndicatorView::setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle style) {
  _style = style;
  Rect f = frame();
  setFrame(Rect(f.origin, sizeThatFits(Size{})));
  setNeedsDisplay();
}

Size UIActivityIndicatorView::sizeThatFits(Size) const {
  return _style == UIActivityIndicatorViewStyle::WhiteLarge ? Size{37, 37} : Size{20, 20};
}

void UIActivityIndicatorView::scheduleStep() {
  std::weak_ptr<UIView> weak = weak_from_this();
  _timer = RunLoop::main().schedule(1.0 / 12, [this, weak] {
    if (weak.expired()) return;
    _phase = (_phase + 1) % 12;
    setNeedsDisplay();
    scheduleStep();
  });
}

void UIActivityIndicatorView::startAnimating() {
  if (_timer) return;
  setHidden(false);
  scheduleStep();
}

void UIActivityIndicatorView::stopAnimating() {
  if (!_timer) return;
  RunLoop::main().cancel(_timer);
  _timer = 0;
  if (_hidesWhenStopped) setHidden(true);
}

void UIActivityIndicatorView::setHidesWhenStopped(bool hides) {
  _hidesWhenStopped = hides;
  if (!isAnimating()) setHidden(hides);
}

void UIActivityIndicatorView::drawRect(BitmapContext& context, Rect) {
  Rect b = bounds();
  double grey = _style == UIActivityIndicatorViewStyle::Gray ? 0.45 : 1.0;
  double radius = std::min(b.size.width, b.size.height) / 2;
  double spokeWidth = radius * 0.22, inner = radius * 0.45;
  for (int i = 0; i < 12; ++i) {
    // The brightest spoke is the current phase; the ones behind it fade.
    int behind = (_phase - i + 12) % 12;
    double alpha = 1.0 - behind * (0.75 / 11);
    GStateSaver saver(context);
    context.translateCTM(b.midX(), b.midY());
    context.rotateCTM(i * std::numbers::pi / 6 - std::numbers::pi / 2);
    context.setFillColor(grey, grey, grey, alpha);
    context.beginPath();
    context.addEllipseInRect(Rect(inner, -spokeWidth / 2, spokeWidth, spokeWidth));
    context.addEllipseInRect(Rect(radius - spokeWidth, -spokeWidth / 2, spokeWidth, spokeWidth));
    context.fillPath();
    context.fillRect(
        Rect(inner + spokeWidth / 2, -spokeWidth / 2, radius - inner - spokeWidth, spokeWidth));
  }
}

bool UIActivityIndicatorView::applyAttribute(const std::string& name, const std::string& value,
                                             InterfaceContext& context, std::string& error) {
  if (name == "style") {
    auto n = context.parseInteger(value, error);
    if (n && (*n < 0 || *n > 2)) {
      error = "activity indicator style must be 0 to 2";
      return false;
    }
    if (n) setActivityIndicatorViewStyle(static_cast<UIActivityIndicatorViewStyle>(*n));
    return n.has_value();
  }
  if (name == "animating") {
    auto b = context.parseBool(value, error);
    if (b) *b ? startAnimating() : stopAnimating();
    return b.has_value();
  }
  if (name == "hidesWhenStopped") {
    auto b = context.parseBool(value, error);
    if (b) setHidesWhenStopped(*b);
    return b.has_value();
  }
  return UIView::applyAttribute(name, value, context, error);
}

}  // namespace platform
