#include "UI/UIScrollView.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "UI/InterfaceContext.h"

namespace platform {

// Lets the scroll view's own pan begin only when there is somewhere to scroll.
class UIScrollView::PanDelegate : public UIGestureRecognizerDelegate {
 public:
  explicit PanDelegate(UIScrollView& owner) : _owner(owner) {}
  bool gestureRecognizerShouldBegin(UIGestureRecognizer&) override {
    return _owner._scrollEnabled &&
           (_owner.canScrollHorizontally() || _owner.canScrollVertically());
  }

 private:
  UIScrollView& _owner;  // owns this delegate
};

UIScrollView::UIScrollView() {
  setUp();
}

UIScrollView::UIScrollView(Rect frame) : UIView(frame) {
  setUp();
}

UIScrollView::~UIScrollView() {
  if (_timer) RunLoop::main().cancel(_timer);
  if (_indicatorTimer) RunLoop::main().cancel(_indicatorTimer);
}

void UIScrollView::setUp() {
  setClipsToBounds(true);
  _panDelegate = std::make_shared<PanDelegate>(*this);
  _pan = std::make_shared<UIPanGestureRecognizer>(
      [this](UIGestureRecognizer& g) { handlePan(static_cast<UIPanGestureRecognizer&>(g)); });
  _pan->setDelegate(_panDelegate);
  addGestureRecognizer(_pan);
}

void UIScrollView::setContentSize(Size size) {
  if (!std::isfinite(size.width) || !std::isfinite(size.height)) return;
  _contentSize = Size{std::max(0.0, size.width), std::max(0.0, size.height)};
}

void UIScrollView::setScrollEnabled(bool enabled) {
  _scrollEnabled = enabled;
  if (!enabled) {
    _pan->setEnabled(false);
    _pan->setEnabled(true);
  }
}

void UIScrollView::setDecelerationRate(double rate) {
  if (std::isfinite(rate)) _decelerationRate = std::clamp(rate, 0.0, 0.9999);
}

Point UIScrollView::maximumContentOffset() const {
  Size b = bounds().size;
  return Point{std::max(0.0, _contentSize.width - b.width),
               std::max(0.0, _contentSize.height - b.height)};
}

bool UIScrollView::canScrollHorizontally() const {
  return _alwaysBounceHorizontal || _contentSize.width > bounds().size.width;
}

bool UIScrollView::canScrollVertically() const {
  return _alwaysBounceVertical || _contentSize.height > bounds().size.height;
}

Point UIScrollView::clamped(Point offset) const {
  Point max = maximumContentOffset();
  return Point{std::clamp(offset.x, 0.0, max.x), std::clamp(offset.y, 0.0, max.y)};
}

void UIScrollView::setContentOffset(Point offset) {
  stopMotion();
  moveTo(offset);
}

void UIScrollView::setContentOffset(Point offset, bool animated) {
  if (!animated) {
    setContentOffset(offset);
    return;
  }
  if (!std::isfinite(offset.x) || !std::isfinite(offset.y)) return;
  stopMotion();
  if (offset == contentOffset()) return;
  _userAnimation = true;
  animateTo(offset, kAnimationDuration, false);
}

void UIScrollView::moveTo(Point offset) {
  if (!std::isfinite(offset.x) || !std::isfinite(offset.y) || offset == contentOffset()) return;
  auto keep = shared_from_this();  // the delegate or a layout may drop the last other owner
  setBounds(Rect(offset, bounds().size));
  setNeedsLayout();
  if (!_inLayout) {
    // A layout that moves the offset again asks for another pass instead of nesting.
    _inLayout = true;
    for (int pass = 0; pass < 4 && needsLayout(); ++pass) layoutIfNeeded();
    _inLayout = false;
  }
  if (_indicatorsShown) placeIndicators();
  if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

void UIScrollView::handlePan(UIPanGestureRecognizer& pan) {
  auto keep = shared_from_this();
  switch (pan.state()) {
    case UIGestureRecognizerState::Began:
      stopMotion();
      _caught = false;
      _dragging = true;
      _dragStartOffset = contentOffset();
      showIndicators();
      if (auto d = delegate()) d->scrollViewWillBeginDragging(*this);
      [[fallthrough]];
    case UIGestureRecognizerState::Changed: {
      Point t = pan.translationInView(this);
      Point o = _dragStartOffset;
      if (canScrollHorizontally()) o.x -= t.x;
      if (canScrollVertically()) o.y -= t.y;
      Point max = maximumContentOffset();
      auto rubber = [this](double v, double hi) {
        if (!_bounces) return std::clamp(v, 0.0, hi);
        // Past an edge the content follows the finger at half the pace.
        if (v < 0) return v / 2;
        if (v > hi) return hi + (v - hi) / 2;
        return v;
      };
      moveTo(Point{rubber(o.x, max.x), rubber(o.y, max.y)});
      break;
    }
    case UIGestureRecognizerState::Ended:
    case UIGestureRecognizerState::Cancelled: {
      _dragging = false;
      Point v{0, 0};
      if (pan.state() == UIGestureRecognizerState::Ended) {
        Point finger = pan.velocityInView(this);
        v = Point{canScrollHorizontally() ? -finger.x : 0, canScrollVertically() ? -finger.y : 0};
      }
      // Settle on a page, spring back inside the content, or coast.
      std::optional<Point> target;
      if (_pagingEnabled) {
        if (Point page = pageTarget(v); page != contentOffset()) target = page;
      } else if (clamped(contentOffset()) != contentOffset()) {
        target = clamped(contentOffset());
      }
      bool coasts = !target && !_pagingEnabled && std::hypot(v.x, v.y) > 20;
      bool moves = target || coasts;
      if (auto d = delegate()) d->scrollViewDidEndDragging(*this, moves);
      if (!moves) {
        hideIndicatorsLater();
        break;
      }
      if (auto d = delegate()) d->scrollViewWillBeginDecelerating(*this);
      if (_motion != Motion::None || _dragging) break;  // the delegate took over
      if (target)
        animateTo(*target, kAnimationDuration, true);
      else
        decelerate(v);
      break;
    }
    default:
      break;
  }
}

Point UIScrollView::pageTarget(Point velocity) const {
  Size page = bounds().size;
  Point max = maximumContentOffset();
  auto axis = [](double offset, double start, double size, double v, double hi) {
    if (size <= 0) return offset;
    double startPage = std::round(start / size);
    double here = offset / size;
    double target;
    // A flick turns one page in its direction; a slow release settles on the nearest page.
    if (v > 300)
      target = std::floor(here) + 1;
    else if (v < -300)
      target = std::ceil(here) - 1;
    else
      target = std::round(here);
    target = std::clamp(target, startPage - 1, startPage + 1);
    double lastPage = std::max(0.0, std::ceil(hi / size - 1e-9));
    target = std::clamp(target, 0.0, lastPage);
    return std::min(target * size, hi);
  };
  return Point{axis(contentOffset().x, _dragStartOffset.x, page.width, velocity.x, max.x),
               axis(contentOffset().y, _dragStartOffset.y, page.height, velocity.y, max.y)};
}

void UIScrollView::stopMotion() {
  if (_timer) RunLoop::main().cancel(_timer);
  _timer = 0;
  _motion = Motion::None;
  _userAnimation = false;
}

void UIScrollView::animateTo(Point target, double duration, bool fromPaging) {
  if (_timer) RunLoop::main().cancel(_timer);
  _timer = 0;
  _motion = Motion::Animating;
  _from = contentOffset();
  _to = target;
  _startTime = _lastStepTime = RunLoop::main().now();
  _duration = duration;
  _fromPaging = fromPaging;
  showIndicators();
  scheduleStep();
}

void UIScrollView::decelerate(Point velocity) {
  if (_timer) RunLoop::main().cancel(_timer);
  _timer = 0;
  _motion = Motion::Decelerating;
  _velocity = velocity;
  _lastStepTime = RunLoop::main().now();
  showIndicators();
  scheduleStep();
}

void UIScrollView::scheduleStep() {
  std::weak_ptr<UIView> weak = weak_from_this();
  _timer = RunLoop::main().schedule(kFrameInterval, [this, weak] {
    if (!weak.lock()) return;
    _timer = 0;
    step();
  });
}

void UIScrollView::step() {
  auto keep = shared_from_this();
  double now = RunLoop::main().now();
  double dt = std::max(0.0, now - _lastStepTime);
  _lastStepTime = now;
  if (_motion == Motion::Animating) {
    double p = _duration > 0 ? std::clamp((now - _startTime) / _duration, 0.0, 1.0) : 1.0;
    double eased = 1 - std::pow(1 - p, 3);
    moveTo(Point{_from.x + (_to.x - _from.x) * eased, _from.y + (_to.y - _from.y) * eased});
    if (_motion != Motion::Animating) return;  // the delegate stopped or restarted it
    if (p >= 1)
      finishMotion();
    else
      scheduleStep();
    return;
  }
  if (_motion != Motion::Decelerating) return;
  // The velocity falls by the rate once per millisecond, as on the phone.
  double factor = std::pow(_decelerationRate, dt * 1000);
  Point o = contentOffset();
  Point next{o.x + _velocity.x * dt, o.y + _velocity.y * dt};
  _velocity = Point{_velocity.x * factor, _velocity.y * factor};
  Point inside = clamped(next);
  if (inside != next) {
    if (!_bounces) {
      moveTo(inside);
      if (_motion == Motion::Decelerating) finishMotion();
      return;
    }
    // Past the edge: a short overshoot, then the spring back.
    moveTo(next);
    if (_motion != Motion::Decelerating) return;
    animateTo(inside, kAnimationDuration, true);
    return;
  }
  moveTo(next);
  if (_motion != Motion::Decelerating) return;
  if (std::hypot(_velocity.x, _velocity.y) < 10)
    finishMotion();
  else
    scheduleStep();
}

void UIScrollView::finishMotion() {
  bool user = _userAnimation;
  _motion = Motion::None;
  _timer = 0;
  _userAnimation = false;
  hideIndicatorsLater();
  auto d = delegate();
  if (!d) return;
  if (user)
    d->scrollViewDidEndScrollingAnimation(*this);
  else
    d->scrollViewDidEndDecelerating(*this);
}

UIView* UIScrollView::hitTest(Point point, const UIEvent* event) {
  UIView* hit = UIView::hitTest(point, event);
  if (hit && hit != this && _motion != Motion::None && !_dragging) return this;
  return hit;
}

void UIScrollView::touchesBegan(const UITouchSet& touches, UIEvent* event) {
  if (_motion != Motion::None && !_dragging) {
    // The finger catches the content where it is; settle() puts it right on release.
    _caughtAnimation = _userAnimation;
    stopMotion();
    _caught = true;
    return;
  }
  UIView::touchesBegan(touches, event);
}

void UIScrollView::touchesEnded(const UITouchSet& touches, UIEvent* event) {
  if (_caught) {
    settle();
    return;
  }
  UIView::touchesEnded(touches, event);
}

void UIScrollView::touchesCancelled(const UITouchSet& touches, UIEvent* event) {
  // Cancelled because the drag began: the pan takes it from here.
  if (_caught && !_dragging) settle();
  _caught = false;
  UIView::touchesCancelled(touches, event);
}

void UIScrollView::settle() {
  _caught = false;
  Point target = _pagingEnabled ? pageTarget(Point{0, 0}) : clamped(contentOffset());
  if (target != contentOffset()) {
    animateTo(target, kAnimationDuration, true);
    return;
  }
  hideIndicatorsLater();
  // The motion the finger stopped has ended here.
  if (auto d = delegate()) {
    if (_caughtAnimation)
      d->scrollViewDidEndScrollingAnimation(*this);
    else
      d->scrollViewDidEndDecelerating(*this);
  }
}

UIView* UIScrollView::indicatorIfShown(int axis) const {
  const auto& indicator = _indicators[axis];
  return _indicatorsShown && indicator && indicator->superview() == this ? indicator.get()
                                                                         : nullptr;
}

void UIScrollView::flashScrollIndicators() {
  showIndicators();
  if (_motion == Motion::None && !_dragging) hideIndicatorsLater();
}

void UIScrollView::showIndicators() {
  if (_indicatorTimer) RunLoop::main().cancel(_indicatorTimer);
  _indicatorTimer = 0;
  _indicatorsShown = true;
  for (auto& indicator : _indicators) {
    if (!indicator) {
      indicator = std::make_shared<UIView>();
      indicator->setUserInteractionEnabled(false);
      indicator->setBackgroundColor(UIColor::colorWithWhite(0, 0.35));
      indicator->layer().setCornerRadius(kIndicatorThickness / 2);
    }
    indicator->layer().removeAllAnimations();
    indicator->setAlpha(1);
  }
  placeIndicators();
}

void UIScrollView::hideIndicatorsLater() {
  if (!_indicatorsShown) return;
  if (_indicatorTimer) RunLoop::main().cancel(_indicatorTimer);
  std::weak_ptr<UIView> weak = weak_from_this();
  _indicatorTimer = RunLoop::main().schedule(kIndicatorHideDelay, [this, weak] {
    if (!weak.lock()) return;
    _indicatorTimer = 0;
    if (_motion != Motion::None || _dragging) return;
    _indicatorsShown = false;
    for (auto& indicator : _indicators) {
      if (!indicator || !indicator->superview()) continue;
      std::weak_ptr<UIView> fading = indicator;
      UIView::animateWithDuration(
          kIndicatorFadeDuration, 0, 0, [&] { indicator->setAlpha(0); },
          [this, weak, fading](bool) {
            auto view = fading.lock();
            if (view && weak.lock() && !_indicatorsShown) view->removeFromSuperview();
          });
    }
  });
}

void UIScrollView::placeIndicators() {
  Rect b = bounds();
  Size content = _contentSize;
  bool shows[2] = {_showsHorizontal && content.width > b.size.width,
                   _showsVertical && content.height > b.size.height};
  for (int axis = 0; axis < 2; ++axis) {
    auto& indicator = _indicators[axis];
    if (!indicator) continue;
    if (!shows[axis]) {
      indicator->removeFromSuperview();
      continue;
    }
    bool horizontal = axis == 0;
    double visible = horizontal ? b.size.width : b.size.height;
    double total = horizontal ? content.width : content.height;
    double offset = horizontal ? b.origin.x : b.origin.y;
    double maxOffset = std::max(0.0, total - visible);
    // Leave the corner to the other indicator when both show.
    double track = visible - 2 * kIndicatorInset - (shows[1 - axis] ? kIndicatorThickness : 0);
    double length = track * visible / total;
    // Pulled past an edge, the indicator shortens by the overshoot.
    double overshoot = offset < 0 ? -offset : offset > maxOffset ? offset - maxOffset : 0;
    length = std::max(kIndicatorMinimumLength, length - overshoot);
    length = std::min(length, track);
    double along = maxOffset > 0 ? std::clamp(offset / maxOffset, 0.0, 1.0) : 0;
    double start = kIndicatorInset + along * (track - length);
    double across =
        (horizontal ? b.size.height : b.size.width) - kIndicatorInset - kIndicatorThickness;
    Rect frame = horizontal
                     ? Rect(b.origin.x + start, b.origin.y + across, length, kIndicatorThickness)
                     : Rect(b.origin.x + across, b.origin.y + start, kIndicatorThickness, length);
    indicator->setFrame(frame);
    if (indicator->superview() != this)
      addSubview(indicator);
    else if (subviews().back() != indicator)
      bringSubviewToFront(indicator.get());
  }
}

bool UIScrollView::applyAttribute(const std::string& name, const std::string& value,
                                  InterfaceContext& context, std::string& error) {
  static const char* flags[] = {"pagingEnabled",
                                "bounces",
                                "scrollEnabled",
                                "showsHorizontalScrollIndicator",
                                "showsVerticalScrollIndicator",
                                "alwaysBounceVertical",
                                "alwaysBounceHorizontal"};
  if (std::find(std::begin(flags), std::end(flags), name) != std::end(flags)) {
    auto b = context.parseBool(value, error);
    if (!b) return false;
    if (name == "pagingEnabled") setPagingEnabled(*b);
    if (name == "bounces") setBounces(*b);
    if (name == "scrollEnabled") setScrollEnabled(*b);
    if (name == "showsHorizontalScrollIndicator") setShowsHorizontalScrollIndicator(*b);
    if (name == "showsVerticalScrollIndicator") setShowsVerticalScrollIndicator(*b);
    if (name == "alwaysBounceVertical") setAlwaysBounceVertical(*b);
    if (name == "alwaysBounceHorizontal") setAlwaysBounceHorizontal(*b);
    return true;
  }
  return UIView::applyAttribute(name, value, context, error);
}

}  // namespace platform
