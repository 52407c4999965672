#pragma once

#include "UI/UITwoFingerGestureRecognizer.h"

namespace platform {

// Two fingers moving apart or together. It begins once their distance has changed by
// kThreshold points; scale is the distance now over the distance when they came down.
class UIPinchGestureRecognizer : public UITwoFingerGestureRecognizer {
 public:
  using UITwoFingerGestureRecognizer::UITwoFingerGestureRecognizer;
  std::string className() const override { return "UIPinchGestureRecognizer"; }

  static constexpr double kThreshold = 5;

  double scale() const { return _scale; }
  // The scale counts on from `scale` (1 after each step makes it incremental).
  void setScale(double scale);
  // velocity(): scale per second.

  void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
  void reset() override;

 private:
  void twoFingersDown() override;
  double distance() const;
  double _baseDistance = 0;
  double _startDistance = 0;
  double _scale = 1;
};

}  // namespace platform
