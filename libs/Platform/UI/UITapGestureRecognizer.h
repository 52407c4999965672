#pragma once

#include "Foundation/RunLoop.h"
#include "UI/UIGestureRecognizer.h"

namespace platform {

// numberOfTapsRequired taps of numberOfTouchesRequired fingers. It fails when a finger moves
// more than kAllowableMovement, when a tap starts too far from the first, or when the next tap
// does not begin within kMaximumTapInterval seconds of the run loop's clock.
class UITapGestureRecognizer : public UIGestureRecognizer {
 public:
  using UIGestureRecognizer::UIGestureRecognizer;
  ~UITapGestureRecognizer() override;
  std::string className() const override { return "UITapGestureRecognizer"; }

  static constexpr double kAllowableMovement = 10;
  static constexpr double kMaximumTapInterval = 0.35;
  static constexpr double kMaximumTapDistance = 25;

  int numberOfTapsRequired() const { return _tapsRequired; }
  void setNumberOfTapsRequired(int n) { _tapsRequired = std::max(1, n); }
  int numberOfTouchesRequired() const { return _touchesRequired; }
  void setNumberOfTouchesRequired(int n) { _touchesRequired = std::max(1, n); }

  void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
  void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
  void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
  void reset() override;

 protected:
  bool isAwaitingMoreTouches() const override { return _timer != 0; }

 private:
  void cancelTimer();
  int _tapsRequired = 1;
  int _touchesRequired = 1;
  int _taps = 0;
  int _mostTouches = 0;
  Point _firstTap;
  Point _tapStart;
  RunLoop::TimerId _timer = 0;
};

}  // namespace platform
