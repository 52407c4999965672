#pragma once

#include <memory>

#include "Foundation/RunLoop.h"
#include "UI/UIPanGestureRecognizer.h"
#include "UI/UIScrollViewDelegate.h"
#include "UI/UIView.h"

namespace platform {

// A window onto content larger than itself: the bounds' origin is the content offset, so the
// subviews (placed in content coordinates) move as it changes, and layoutSubviews runs at once
// after every change so that recycling views keep up. A pan gesture of its own drags the
// content (cancelling the touch of the subview under the finger once the drag starts); on
// release it decelerates, springs back inside the content when it bounced past an edge, or
// settles on a page. Animated movements step on the main run loop's clock at 60 frames a
// second. A finger put down while the content coasts or settles stops it there, and that
// touch goes to the scroll view rather than the subview beneath. Thin indicators along the
// right and bottom edges show the visible part while the content moves and fade once it
// rests.
class UIScrollView : public UIView {
 public:
  UIScrollView();
  explicit UIScrollView(Rect frame);
  ~UIScrollView() override;
  std::string className() const override { return "UIScrollView"; }

  static constexpr double kFrameInterval = 1.0 / 60;
  static constexpr double UIScrollViewDecelerationRateNormal = 0.998;
  static constexpr double UIScrollViewDecelerationRateFast = 0.99;

  Size contentSize() const { return _contentSize; }
  void setContentSize(Size size);
  Point contentOffset() const { return bounds().origin; }
  // Moves at once (stopping any scrolling animation), then lays out and tells the delegate.
  void setContentOffset(Point offset);
  // Animated: eases to `offset` over kAnimationDuration, laying out at every step.
  void setContentOffset(Point offset, bool animated);
  static constexpr double kAnimationDuration = 0.3;

  bool isPagingEnabled() const { return _pagingEnabled; }
  void setPagingEnabled(bool paging) { _pagingEnabled = paging; }
  bool bounces() const { return _bounces; }
  void setBounces(bool bounces) { _bounces = bounces; }
  bool alwaysBounceHorizontal() const { return _alwaysBounceHorizontal; }
  void setAlwaysBounceHorizontal(bool bounce) { _alwaysBounceHorizontal = bounce; }
  bool alwaysBounceVertical() const { return _alwaysBounceVertical; }
  void setAlwaysBounceVertical(bool bounce) { _alwaysBounceVertical = bounce; }
  bool isScrollEnabled() const { return _scrollEnabled; }
  void setScrollEnabled(bool enabled);
  bool showsHorizontalScrollIndicator() const { return _showsHorizontal; }
  void setShowsHorizontalScrollIndicator(bool shows) { _showsHorizontal = shows; }
  bool showsVerticalScrollIndicator() const { return _showsVertical; }
  void setShowsVerticalScrollIndicator(bool shows) { _showsVertical = shows; }
  // Shows the indicators for a moment.
  void flashScrollIndicators();
  // The indicator of an axis while it is shown, else null; placed in content coordinates.
  UIView* horizontalScrollIndicator() const { return indicatorIfShown(0); }
  UIView* verticalScrollIndicator() const { return indicatorIfShown(1); }
  static constexpr double kIndicatorThickness = 2.5;
  static constexpr double kIndicatorInset = 2;
  static constexpr double kIndicatorMinimumLength = 7;
  static constexpr double kIndicatorHideDelay = 0.25;
  static constexpr double kIndicatorFadeDuration = 0.2;
  double decelerationRate() const { return _decelerationRate; }
  void setDecelerationRate(double rate);

  bool isDragging() const { return _dragging; }
  bool isTracking() const { return _dragging; }
  // Coasting after a drag, or settling on a page or back inside the content.
  bool isDecelerating() const {
    return _motion == Motion::Decelerating || (_motion == Motion::Animating && _fromPaging);
  }
  // Whether an animated offset change, a deceleration or a spring-back is under way.
  bool isScrolling() const { return _motion != Motion::None; }

  std::shared_ptr<UIScrollViewDelegate> delegate() const { return _delegate.lock(); }
  void setDelegate(std::weak_ptr<UIScrollViewDelegate> delegate) {
    _delegate = std::move(delegate);
  }
  const std::shared_ptr<UIPanGestureRecognizer>& panGestureRecognizer() const { return _pan; }

  // The largest offset that shows content (the smallest is zero).
  Point maximumContentOffset() const;

  bool applyAttribute(const std::string& name, const std::string& value, InterfaceContext& context,
                      std::string& error) override;
  // While the content coasts or settles, the whole scroll view takes the touch.
  UIView* hitTest(Point point, const UIEvent* event = nullptr) override;
  void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
  void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
  void touchesCancelled(const UITouchSet& touches, UIEvent* event) override;

 private:
  class PanDelegate;
  enum class Motion { None, Animating, Decelerating };

  void setUp();
  void handlePan(UIPanGestureRecognizer& pan);
  bool canScrollHorizontally() const;
  bool canScrollVertically() const;
  Point clamped(Point offset) const;
  // Sets the offset, lays out at once and tells the delegate.
  void moveTo(Point offset);
  void stopMotion();
  void animateTo(Point target, double duration, bool fromPaging);
  void decelerate(Point velocity);
  void scheduleStep();
  void step();
  Point pageTarget(Point velocity) const;
  void finishMotion();
  // Back inside the content, onto a page when paging: after a finger stopped the motion.
  void settle();
  void showIndicators();
  void hideIndicatorsLater();
  void placeIndicators();
  UIView* indicatorIfShown(int axis) const;

  Size _contentSize;
  bool _pagingEnabled = false;
  bool _bounces = true;
  bool _alwaysBounceHorizontal = false;
  bool _alwaysBounceVertical = false;
  bool _scrollEnabled = true;
  bool _showsHorizontal = true;
  bool _showsVertical = true;
  double _decelerationRate = UIScrollViewDecelerationRateNormal;
  bool _dragging = false;
  bool _inLayout = false;
  Point _dragStartOffset;
  std::weak_ptr<UIScrollViewDelegate> _delegate;
  std::shared_ptr<UIPanGestureRecognizer> _pan;
  std::shared_ptr<PanDelegate> _panDelegate;

  Motion _motion = Motion::None;
  RunLoop::TimerId _timer = 0;
  // Animation: from, to, start time and duration; deceleration: the velocity (points/s).
  Point _from, _to;
  double _startTime = 0, _duration = 0;
  bool _fromPaging = false;
  bool _userAnimation = false;
  Point _velocity;
  double _lastStepTime = 0;
  bool _caught = false;           // a finger stopped the motion and is still down
  bool _caughtAnimation = false;  // what it stopped was an animated setContentOffset

  // Horizontal, then vertical.
  std::shared_ptr<UIView> _indicators[2];
  bool _indicatorsShown = false;
  RunLoop::TimerId _indicatorTimer = 0;
};

}  // namespace platform
