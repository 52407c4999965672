#pragma once

#include "Foundation/RunLoop.h"
#include "UI/UIGestureRecognizer.h"

namespace platform {

// Fingers held still: it begins once they have rested minimumPressDuration seconds of the run
// loop's clock without moving further than allowableMovement, changes as they move afterwards
// and ends when they lift.
class UILongPressGestureRecognizer : public UIGestureRecognizer {
 public:
  using UIGestureRecognizer::UIGestureRecognizer;
  ~UILongPressGestureRecognizer() override;
  std::string className() const override { return "UILongPressGestureRecognizer"; }

  double minimumPressDuration() const { return _duration; }
  void setMinimumPressDuration(double seconds) { _duration = std::max(0.0, seconds); }
  double allowableMovement() const { return _movement; }
  void setAllowableMovement(double points) { _movement = std::max(0.0, points); }
  int numberOfTouchesRequired() const { return _touchesRequired; }
  void setNumberOfTouchesRequired(int n) { _touchesRequired = std::max(1, n); }

  void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
  void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
  void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
  void reset() override;

 private:
  void cancelTimer();
  double _duration = 0.5;
  double _movement = 10;
  int _touchesRequired = 1;
  Point _start;
  RunLoop::TimerId _timer = 0;
};

}  // namespace platform
