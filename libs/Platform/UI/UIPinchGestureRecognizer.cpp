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
  double now = touches.front()->timestamp();
  double scale = d / _baseDistance;
  if (now > _lastTime) _velocity = (scale - _scale) / (now - _lastTime);
  _lastTime = now;
  _scale = scale;
  if (state() == UIGestureRecognizerState::Possible) {
    if (std::fabs(d - _startDistance) >= kThreshold) setState(UIGestureRecognizerState::Began);
  } else {
    setState(UIGestureRecognizerState::Changed);
  }
}

void UIPinchGestureRecognizer::touchesEnded(const UITouchSet&, UIEvent*) {
  bool running =
      state() == UIGestureRecognizerState::Began || state() == UIGestureRecognizerState::Changed;
  int remaining = numberOfTouches() - 1;
  if (running && remaining < 2)
    setState(UIGestureRecognizerState::Ended);
  else if (!running && remaining == 0)
    setState(UIGestureRecognizerState::Failed);
}

void UIPinchGestureRecognizer::reset() {
  _scale = 1;
  _velocity = 0;
  _baseDistance = _startDistance = 0;
}

}  // namespace platform
