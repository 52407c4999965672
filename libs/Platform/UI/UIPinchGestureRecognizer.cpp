#include "UI/UIPinchGestureRecognizer.h"

#include <cmath>

#include "UI/UITouch.h"

namespace platform {

double UIPinchGestureRecognizer::distance() const {
  if (touches().size() < 2) return 0;
  Point a = touches()[0]->locationInView(nullptr);
  Point b = touches()[1]->locationInView(nullptr);
  return std::hypot(b.x - a.x, b.y - a.y);
}

void UIPinchGestureRecognizer::setScale(double scale) {
  if (!std::isfinite(scale) || scale <= 0) return;
  _scale = scale;
  double d = distance();
  if (d > 0) _baseDistance = d / scale;
}

void UIPinchGestureRecognizer::touchesBegan(const UITouchSet& touches, UIEvent*) {
  _lastTime = touches.front()->timestamp();
  if (this->touches().size() == 2 && state() == UIGestureRecognizerState::Possible) {
    _startDistance = distance();
    _baseDistance = _startDistance / _scale;
  }
}

void UIPinchGestureRecognizer::touchesMoved(const UITouchSet& touches, UIEvent*) {
  double d = distance();
  if (d <= 0 || _baseDistance <= 0) return;
  trackValue(d / _baseDistance, touches.front()->timestamp(), std::fabs(d - _startDistance) >= kThreshold, _scale,
             _velocity, _lastTime);
}

void UIPinchGestureRecognizer::touchesEnded(const UITouchSet&, UIEvent*) {
  twoFingerTouchEnded();
}

void UIPinchGestureRecognizer::reset() {
  _scale = 1;
  _velocity = 0;
  _baseDistance = _startDistance = 0;
}

}  // namespace platform
