#include "UI/UIRotationGestureRecognizer.h"

#include <cmath>
#include <numbers>

#include "UI/UITouch.h"

namespace platform {

double UIRotationGestureRecognizer::angle() const {
  Point v = fingerVector().value_or(Point{});
  return std::atan2(v.y, v.x);
}

void UIRotationGestureRecognizer::setRotation(double rotation) {
  if (!std::isfinite(rotation)) return;
  _rotation = rotation;
  _offset = rotation - _turned;
}

void UIRotationGestureRecognizer::twoFingersDown() {
  _pair[0] = touches()[0].get();
  _pair[1] = touches()[1].get();
  _lastAngle = angle();
}

void UIRotationGestureRecognizer::touchesMoved(const UITouchSet& touches, UIEvent*) {
  if (this->touches().size() < 2) return;
  const UITouch* first = this->touches()[0].get();
  const UITouch* second = this->touches()[1].get();
  if (first != _pair[0] || second != _pair[1]) {
    // Another pair of fingers leads now: measure from its own angle.
    _pair[0] = first;
    _pair[1] = second;
    _lastAngle = angle();
  }
  double a = angle();
  double delta = a - _lastAngle;
  // The shorter way round, so that crossing ±π does not count as a whole turn.
  if (delta > std::numbers::pi) delta -= 2 * std::numbers::pi;
  if (delta < -std::numbers::pi) delta += 2 * std::numbers::pi;
  _lastAngle = a;
  _turned += delta;
  trackValue(_turned + _offset, touches.front()->timestamp(), std::fabs(_turned) >= kThreshold,
             _rotation);
}

void UIRotationGestureRecognizer::reset() {
  UITwoFingerGestureRecognizer::reset();
  _lastAngle = _turned = _offset = _rotation = 0;
  _pair[0] = _pair[1] = nullptr;
}

}  // namespace platform
