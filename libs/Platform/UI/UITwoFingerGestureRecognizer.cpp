#include "UI/UITwoFingerGestureRecognizer.h"

#include "UI/UITouch.h"

namespace platform {

void UITwoFingerGestureRecognizer::touchesBegan(const UITouchSet& touches, UIEvent*) {
  _lastTime = touches.front()->timestamp();
  if (this->touches().size() == 2) twoFingersDown();
}

void UITwoFingerGestureRecognizer::touchesEnded(const UITouchSet&, UIEvent*) {
  bool running =
      state() == UIGestureRecognizerState::Began || state() == UIGestureRecognizerState::Changed;
  int remaining = numberOfTouches() - 1;
  if (running && remaining < 2)
    setState(UIGestureRecognizerState::Ended);
  else if (!running && remaining == 0)
    setState(UIGestureRecognizerState::Failed);
}

std::optional<Point> UITwoFingerGestureRecognizer::fingerVector() const {
  if (touches().size() < 2) return std::nullopt;
  Point a = touches()[0]->locationInView(nullptr);
  Point b = touches()[1]->locationInView(nullptr);
  return Point{b.x - a.x, b.y - a.y};
}

void UITwoFingerGestureRecognizer::trackValue(double value, double now, bool pastThreshold,
                                              double& current) {
  if (now > _lastTime) _velocity = (value - current) / (now - _lastTime);
  _lastTime = now;
  current = value;
  if (state() == UIGestureRecognizerState::Possible) {
    if (pastThreshold) setState(UIGestureRecognizerState::Began);
  } else {
    setState(UIGestureRecognizerState::Changed);
  }
}

}  // namespace platform
