#include "UI/UIRotationGestureRecognizer.h"

#include <cmath>
#include <numbers>

#include "UI/UITouch.h"

namespace platform {

double UIRotationGestureRecognizer::angle() const {
  Point a = touches()[0]->locationInView(nullptr);
  Point b = touches()[1]->locationInView(nullptr);
  return std::atan2(b.y - a.y, b.x - a.x);
}

void UIRotationGestureRecognizer::setRotation(double rotation) {
  if (!std::isfinite(rotation)) return;
  _rotation = rotation;
  _offset = rotation - _turned;
}

void UIRotationGestureRecognizer::touchesBegan(const UITouchSet& touches, UIEvent*) {
  _lastTime = touches.front()->timestamp();
  if (this->touches().size() == 2) {
    _pair[0] = this->touches()[0].get();
    _pair[1] = this->touches()[1].get();
    _lastAngle = angle();
  }
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
  trackValue(_turned + _offset, touches.front()->timestamp(), std::fabs(_turned) >= kThreshold, _rotation, _velocity,
             _lastTime);
}

void UIRotationGestureRecognizer::touchesEnded(const UITouchSet&, UIEvent*) {
  twoFingerTouchEnded();
}

void UIRotationGestureRecognizer::reset() {
  _lastAngle = _turned = _offset = _rotation = _velocity = 0;
  _pair[0] = _pair[1] = nullptr;
}

}  // namespace platform
