#pragma once

#include <optional>

#include "Graphics/Geometry.h"
#include "UI/UIGestureRecognizer.h"

namespace platform {

// What the continuous two-finger gestures (pinch, rotation) share: the line between the first
// two fingers, one value that follows it with its rate, and the end once fewer than two
// fingers stay.
class UITwoFingerGestureRecognizer : public UIGestureRecognizer {
 public:
  using UIGestureRecognizer::UIGestureRecognizer;

  // The value's change per second.
  double velocity() const { return _velocity; }

  void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
  // A finger lifts: the gesture ends when fewer than two stay, and fails when the last one
  // goes before it began.
  void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
  void reset() override { _velocity = 0; }

 protected:
  // A touch came down and two fingers are on the screen.
  virtual void twoFingersDown() = 0;
  // The second finger's window position minus the first's; nothing with fewer than two.
  std::optional<Point> fingerVector() const;
  // A new `value` at time `now` updates `current` and the velocity, then begins the gesture
  // once `pastThreshold`, or reports the change once it runs.
  void trackValue(double value, double now, bool pastThreshold, double& current);

 private:
  double _velocity = 0;
  double _lastTime = 0;
};

}  // namespace platform
