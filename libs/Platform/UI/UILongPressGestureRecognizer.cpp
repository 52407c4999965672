#include "UI/UILongPressGestureRecognizer.h"

#include <cmath>

#include "UI/UITouch.h"

namespace platform {

UILongPressGestureRecognizer::~UILongPressGestureRecognizer() {
  cancelTimer();
}

void UILongPressGestureRecognizer::cancelTimer() {
  if (_timer) RunLoop::main().cancel(_timer);
  _timer = 0;
}

void UILongPressGestureRecognizer::touchesBegan(const UITouchSet&, UIEvent*) {
  if (state() != UIGestureRecognizerState::Possible) return;
  if (numberOfTouches() > _touchesRequired) {
    cancelTimer();
    setState(UIGestureRecognizerState::Failed);
    return;
  }
  if (numberOfTouches() < _touchesRequired) return;
  _start = centroidInWindow();
  cancelTimer();
  std::weak_ptr<UIGestureRecognizer> weak = weak_from_this();
  _timer = RunLoop::main().schedule(_duration, [this, weak] {
    if (!weak.lock()) return;
    _timer = 0;
    if (state() == UIGestureRecognizerState::Possible && numberOfTouches() == _touchesRequired)
      setState(UIGestureRecognizerState::Began);
  });
}

void UILongPressGestureRecognizer::touchesMoved(const UITouchSet&, UIEvent*) {
  if (state() == UIGestureRecognizerState::Possible) {
    if (!_timer) return;
    Point c = centroidInWindow();
    if (std::hypot(c.x - _start.x, c.y - _start.y) > _movement) {
      cancelTimer();
      setState(UIGestureRecognizerState::Failed);
    }
  } else {
    setState(UIGestureRecognizerState::Changed);
  }
}

void UILongPressGestureRecognizer::touchesEnded(const UITouchSet&, UIEvent*) {
  if (state() == UIGestureRecognizerState::Possible) {
    cancelTimer();
    setState(UIGestureRecognizerState::Failed);
  } else {
    setState(UIGestureRecognizerState::Ended);
  }
}

void UILongPressGestureRecognizer::reset() {
  cancelTimer();
}

}  // namespace platform
