#pragma once

#include "UI/UITwoFingerGestureRecognizer.h"

namespace platform {

// Two fingers turning about each other. It begins once they have turned kThreshold radians;
// rotation is the angle turned since they came down, in radians, clockwise on screen positive.
class UIRotationGestureRecognizer : public UITwoFingerGestureRecognizer {
 public:
  using UITwoFingerGestureRecognizer::UITwoFingerGestureRecognizer;
  std::string className() const override { return "UIRotationGestureRecognizer"; }

  static constexpr double kThreshold = 0.07;

  double rotation() const { return _rotation; }
  // The rotation counts on from `rotation` (0 after each step makes it incremental).
  void setRotation(double rotation);
  // velocity(): radians per second.

  void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
  void reset() override;

 private:
  void twoFingersDown() override;
  double angle() const;
  double _lastAngle = 0;
  double _turned = 0;  // since the fingers came down, unwrapped
  double _offset = 0;  // rotation = _turned + _offset
  double _rotation = 0;
  const UITouch* _pair[2] = {nullptr, nullptr};
};

}  // namespace platform
