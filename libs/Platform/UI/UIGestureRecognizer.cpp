#include "UI/UIGestureRecognizer.h"

#include "UI/TouchDispatcher.h"
#include "UI/UITouch.h"
#include "UI/UIWindow.h"

namespace platform {

UIGestureRecognizer::UIGestureRecognizer(Action action) {
  addTarget(std::move(action));
}

void UIGestureRecognizer::addTarget(Action action) {
  if (action) _actions.push_back(std::move(action));
}

void UIGestureRecognizer::setEnabled(bool enabled) {
  if (enabled == _enabled) return;
  _enabled = enabled;
  if (!enabled) TouchDispatcher::shared().recognizerDisabled(*this);
}

void UIGestureRecognizer::requireGestureRecognizerToFail(
    const std::shared_ptr<UIGestureRecognizer>& other) {
  if (other && other.get() != this) _requiredToFail.push_back(other);
}

Point UIGestureRecognizer::centroidInWindow() const {
  if (_touches.empty()) return _lastLocation;
  Point sum{0, 0};
  for (const auto& touch : _touches) {
    Point p = touch->locationInView(nullptr);
    sum.x += p.x;
    sum.y += p.y;
  }
  double n = static_cast<double>(_touches.size());
  return Point{sum.x / n, sum.y / n};
}

Point UIGestureRecognizer::windowPointToView(Point point, const UIView* view) const {
  if (!view || !_view) return point;
  UIWindow* window = _view->window();
  if (!window || view == window) return point;
  return view->convertPointFromView(point, window);
}

Point UIGestureRecognizer::viewPointToWindow(Point point, const UIView* view) const {
  if (!view || !_view) return point;
  UIWindow* window = _view->window();
  if (!window || view == window) return point;
  return view->convertPointToView(point, window);
}

Point UIGestureRecognizer::centroidWithout(const UITouch* left) const {
  Point sum{0, 0};
  int n = 0;
  for (const auto& touch : _touches) {
    if (touch.get() == left) continue;
    Point p = touch->locationInView(nullptr);
    sum.x += p.x;
    sum.y += p.y;
    ++n;
  }
  if (n == 0) return _lastLocation;
  return Point{sum.x / n, sum.y / n};
}

Point UIGestureRecognizer::locationInView(const UIView* view) const {
  return windowPointToView(centroidInWindow(), view);
}

Point UIGestureRecognizer::locationOfTouch(int index, const UIView* view) const {
  if (index < 0 || index >= numberOfTouches()) return locationInView(view);
  return _touches[static_cast<size_t>(index)]->locationInView(view);
}

void UIGestureRecognizer::touchesCancelled(const UITouchSet&, UIEvent*) {
  if (_state == UIGestureRecognizerState::Began || _state == UIGestureRecognizerState::Changed)
    setState(UIGestureRecognizerState::Cancelled);
  else
    setState(UIGestureRecognizerState::Failed);
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state) {
  TouchDispatcher::shared().requestState(*this, state);
}

void UIGestureRecognizer::sendActions() {
  auto self = weak_from_this().lock();  // an action may detach the recognizer
  auto actions = _actions;
  for (auto& action : actions) action(*this);
}

}  // namespace platform
