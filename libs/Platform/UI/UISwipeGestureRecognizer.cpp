#include "UI/UISwipeGestureRecognizer.h"

#include <cmath>

#include "UI/UITouch.h"

namespace platform {

Point UISwipeGestureRecognizer::locationInView(const UIView* view) const {
  return windowPointToView(_start, view);
}

void UISwipeGestureRecognizer::touchesBegan(const UITouchSet& touches, UIEvent*) {
  if (state() != UIGestureRecognizerState::Possible) return;
  if (numberOfTouches() > _touchesRequired) {
    setState(UIGestureRecognizerState::Failed);
    return;
  }
  _start = centroidInWindow();
  _startTime = touches.front()->timestamp();
}

void UISwipeGestureRecognizer::touchesMoved(const UITouchSet& touches, UIEvent*) {
  if (state() != UIGestureRecognizerState::Possible || numberOfTouches() != _touchesRequired)
    return;
  if (touches.front()->timestamp() - _startTime > kMaximumDuration) {
    setState(UIGestureRecognizerState::Failed);
    return;
  }
  Point c = centroidInWindow();
  double dx = c.x - _start.x, dy = c.y - _start.y;
  UISwipeGestureRecognizerDirection went = 0;
  if (std::fabs(dx) >= kMinimumDistance && std::fabs(dy) <= std::fabs(dx) / 2)
    went = dx > 0 ? UISwipeGestureRecognizerDirectionRight : UISwipeGestureRecognizerDirectionLeft;
  else if (std::fabs(dy) >= kMinimumDistance && std::fabs(dx) <= std::fabs(dy) / 2)
    went = dy > 0 ? UISwipeGestureRecognizerDirectionDown : UISwipeGestureRecognizerDirectionUp;
  if (!went) return;
  setState((went & _direction) ? UIGestureRecognizerState::Recognized
                               : UIGestureRecognizerState::Failed);
}

void UISwipeGestureRecognizer::touchesEnded(const UITouchSet&, UIEvent*) {
  if (state() == UIGestureRecognizerState::Possible) setState(UIGestureRecognizerState::Failed);
}

}  // namespace platform
