#include "UI/UIPinchGestureRecognizer.h"

#include <cmath>

#include "UI/UITouch.h"

namespace platform {

double UIPinchGestureRecognizer::distance() const {
  auto v = fingerVector();
  return v ? std::hypot(v->x, v->y) : 0;
}

void UIPinchGestureRecognizer::setScale(double scale) {
  if (!std::isfinite(scale) || scale <= 0) return;
  _scale = scale;
  double d = distance();
  if (d > 0) _baseDistance = d / scale;
}

void UIPinchGestureRecognizer::twoFingersDown() {
  if (state() == UIGestureRecognizerState::Possible) {
    _startDistance = distance();
    _baseDistance = _startDistance / _scale;
  }
}

void UIPinchGestureRecognizer::touchesMoved(const UITouchSet& touches, UIEvent*) {
  double d = distance();
  if (d <= 0 || _baseDistance <= 0) return;
  trackValue(d / _baseDistance, touches.front()->timestamp(),
             std::fabs(d - _startDistance) >= kThreshold, _scale);
}

void UIPinchGestureRecognizer::reset() {
  UITwoFingerGestureRecognizer::reset();
  _scale = 1;
  _baseDistance = _startDistance = 0;
}

}  // namespace platform
