#include "UI/UITapGestureRecognizer.h"

#include <cmath>

#include "UI/UITouch.h"

namespace platform {

UITapGestureRecognizer::~UITapGestureRecognizer() {
  cancelTimer();
}

void UITapGestureRecognizer::cancelTimer() {
  if (_timer) RunLoop::main().cancel(_timer);
  _timer = 0;
}

void UITapGestureRecognizer::touchesBegan(const UITouchSet&, UIEvent*) {
  if (state() != UIGestureRecognizerState::Possible) return;
  if (_taps >= _tapsRequired) return;  // recognized, waiting for others to fail
  cancelTimer();
  if (numberOfTouches() > _touchesRequired) {
    setState(UIGestureRecognizerState::Failed);
    return;
  }
  Point c = centroidInWindow();
  if (numberOfTouches() == 1) {
    _mostTouches = 0;
    if (_taps == 0) {
      _firstTap = c;
    } else if (std::hypot(c.x - _firstTap.x, c.y - _firstTap.y) > kMaximumTapDistance) {
      setState(UIGestureRecognizerState::Failed);
      return;
    }
  }
  _tapStart = c;
  _mostTouches = std::max(_mostTouches, numberOfTouches());
}

void UITapGestureRecognizer::touchesMoved(const UITouchSet&, UIEvent*) {
  if (state() != UIGestureRecognizerState::Possible || _taps >= _tapsRequired) return;
  Point c = centroidInWindow();
  if (std::hypot(c.x - _tapStart.x, c.y - _tapStart.y) > kAllowableMovement)
    setState(UIGestureRecognizerState::Failed);
}

void UITapGestureRecognizer::touchesEnded(const UITouchSet&, UIEvent*) {
  if (state() != UIGestureRecognizerState::Possible || _taps >= _tapsRequired) return;
  if (numberOfTouches() > 1) return;  // the tap ends when the last finger lifts
  if (_mostTouches != _touchesRequired) {
    setState(UIGestureRecognizerState::Failed);
    return;
  }
  ++_taps;
  if (_taps >= _tapsRequired) {
    setState(UIGestureRecognizerState::Recognized);
    return;
  }
  std::weak_ptr<UIGestureRecognizer> weak = weak_from_this();
  _timer = RunLoop::main().schedule(kMaximumTapInterval, [this, weak] {
    if (!weak.lock()) return;
    _timer = 0;
    if (state() == UIGestureRecognizerState::Possible) setState(UIGestureRecognizerState::Failed);
  });
}

void UITapGestureRecognizer::reset() {
  cancelTimer();
  _taps = 0;
  _mostTouches = 0;
}

}  // namespace platform
