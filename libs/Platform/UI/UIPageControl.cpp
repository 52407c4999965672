#include "UI/UIPageControl.h"

#include <algorithm>

#include "UI/InterfaceContext.h"
#include "UI/UITouch.h"

namespace platform {
namespace {

constexpr double kDot = 7;
constexpr double kSpacing = 9;

}  // namespace

UIPageControl::UIPageControl() {
  setOpaque(false);
}

UIPageControl::UIPageControl(Rect frame) : UIControl(frame) {
  setOpaque(false);
}

void UIPageControl::setNumberOfPages(int pages) {
  pages = std::max(0, pages);
  if (pages == _numberOfPages) return;
  _numberOfPages = pages;
  _currentPage = std::clamp(_currentPage, 0, std::max(0, pages - 1));
  setNeedsDisplay();
}

void UIPageControl::setCurrentPage(int page) {
  page = std::clamp(page, 0, std::max(0, _numberOfPages - 1));
  if (page == _currentPage) return;
  _currentPage = page;
  setNeedsDisplay();
}

void UIPageControl::setHidesForSinglePage(bool hides) {
  _hidesForSinglePage = hides;
  setNeedsDisplay();
}

void UIPageControl::setPageIndicatorTintColor(UIColor color) {
  _tint = color;
  setNeedsDisplay();
}

void UIPageControl::setCurrentPageIndicatorTintColor(UIColor color) {
  _currentTint = color;
  setNeedsDisplay();
}

Size UIPageControl::sizeForNumberOfPages(int pages) {
  if (pages <= 0) return {0, 36};
  return {pages * kDot + (pages - 1) * kSpacing, 36};
}

Rect UIPageControl::dotRect(int page) const {
  Rect b = bounds();
  double width = sizeForNumberOfPages(_numberOfPages).width;
  double x = b.midX() - width / 2 + page * (kDot + kSpacing);
  return Rect(x, b.midY() - kDot / 2, kDot, kDot);
}

void UIPageControl::touchesEnded(const UITouchSet& touches, UIEvent* event) {
  if (!isTracking() || touches.empty()) return;
  auto self = shared_from_this();
  Point p = touches.front()->locationInView(this);
  bool inside = isInsideForTracking(p);
  UIControl::touchesEnded(touches, event);
  if (!inside) return;
  int page = p.x < bounds().midX() ? _currentPage - 1 : _currentPage + 1;
  if (page < 0 || page >= _numberOfPages) return;
  setCurrentPage(page);
  sendActionsForControlEvents(UIControlEventValueChanged);
}

void UIPageControl::drawRect(BitmapContext& context, Rect) {
  if (_numberOfPages == 0 || (_hidesForSinglePage && _numberOfPages == 1)) return;
  for (int page = 0; page < _numberOfPages; ++page) {
    const UIColor& c = page == _currentPage ? _currentTint : _tint;
    context.setFillColor(c.red, c.green, c.blue, c.alpha);
    context.beginPath();
    context.addEllipseInRect(dotRect(page));
    context.fillPath();
  }
}

bool UIPageControl::applyAttribute(const std::string& name, const std::string& value,
                                   InterfaceContext& context, std::string& error) {
  if (name == "numberOfPages" || name == "currentPage") {
    auto n = context.parseInteger(value, error);
    if (!n) return false;
    name == "numberOfPages" ? setNumberOfPages(*n) : setCurrentPage(*n);
    return true;
  }
  if (name == "hidesForSinglePage") {
    auto b = context.parseBool(value, error);
    if (b) setHidesForSinglePage(*b);
    return b.has_value();
  }
  if (name == "pageIndicatorTintColor" || name == "currentPageIndicatorTintColor") {
    auto c = context.parseColor(value, error);
    if (!c) return false;
    name == "pageIndicatorTintColor" ? setPageIndicatorTintColor(*c)
                                     : setCurrentPageIndicatorTintColor(*c);
    return true;
  }
  return UIControl::applyAttribute(name, value, context, error);
}

}  // namespace platform
