#include "UI/UIPanGestureRecognizer.h"

#include <cmath>

#include "UI/UITouch.h"
#include "UI/UIView.h"

namespace platform {
namespace {

// The velocity spans the last tenth of a second. Timestamps are sums of frame steps, so an
// event exactly a tenth older may read a hair younger: it still counts as that old.
constexpr double kVelocitySpan = 0.1 - 1e-9;

}  // namespace

Point UIPanGestureRecognizer::translationInView(const UIView* view) const {
  Point now = windowPointToView(centroidInWindow(), view);
  Point start = windowPointToView(_start, view);
  return Point{now.x - start.x, now.y - start.y};
}

void UIPanGestureRecognizer::setTranslation(Point translation, const UIView* view) {
  Point now = windowPointToView(centroidInWindow(), view);
  // Only the origin moves: the velocity keeps its samples.
  _start = viewPointToWindow(Point{now.x - translation.x, now.y - translation.y}, view);
}

Point UIPanGestureRecognizer::velocityInView(const UIView* view) const {
  if (_samples.size() < 2) return Point{0, 0};
  const Sample& first = _samples.front();
  const Sample& last = _samples.back();
  // Fingers that have rested a while are not moving, whatever they did before.
  if (_lastEventTime - last.time >= kVelocitySpan) return Point{0, 0};
  double dt = last.time - first.time;
  if (dt <= 0) return Point{0, 0};
  Point a = windowPointToView(first.centroid, view);
  Point b = windowPointToView(last.centroid, view);
  return Point{(b.x - a.x) / dt, (b.y - a.y) / dt};
}

void UIPanGestureRecognizer::addSample(double time) {
  _lastEventTime = time;
  Point c = centroidInWindow();
  if (!_samples.empty() && _samples.back().centroid == c) {
    // Resting fingers keep the samples of the movement that led here.
    return;
  }
  _samples.push_back({time, c});
  while (_samples.size() > 2 && time - _samples[1].time >= kVelocitySpan) _samples.pop_front();
}

void UIPanGestureRecognizer::touchesBegan(const UITouchSet& touches, UIEvent*) {
  if (numberOfTouches() > _maximumTouches) {
    if (state() == UIGestureRecognizerState::Possible) setState(UIGestureRecognizerState::Failed);
    return;
  }
  const UITouch* added = touches.front().get();
  if (numberOfTouches() == 1) {
    _start = centroidInWindow();
  } else {
    Point before = centroidWithout(added);
    Point after = centroidInWindow();
    _start = Point{_start.x + after.x - before.x, _start.y + after.y - before.y};
  }
  _samples.clear();
  addSample(added->timestamp());
}

void UIPanGestureRecognizer::touchesMoved(const UITouchSet& touches, UIEvent*) {
  addSample(touches.front()->timestamp());
  if (state() == UIGestureRecognizerState::Possible) {
    if (numberOfTouches() < _minimumTouches) return;
    Point t = translationInView(nullptr);
    if (std::hypot(t.x, t.y) >= kHysteresis) setState(UIGestureRecognizerState::Began);
  } else {
    setState(UIGestureRecognizerState::Changed);
  }
}

void UIPanGestureRecognizer::touchesEnded(const UITouchSet& touches, UIEvent*) {
  const UITouch* lifted = touches.front().get();
  _lastEventTime = lifted->timestamp();
  int remaining = numberOfTouches() - 1;
  bool running =
      state() == UIGestureRecognizerState::Began || state() == UIGestureRecognizerState::Changed;
  if (remaining <= 0) {
    setState(running ? UIGestureRecognizerState::Ended : UIGestureRecognizerState::Failed);
    return;
  }
  Point before = centroidInWindow();
  Point after = centroidWithout(lifted);
  _start = Point{_start.x + after.x - before.x, _start.y + after.y - before.y};
  if (running && remaining < _minimumTouches) setState(UIGestureRecognizerState::Ended);
}

void UIPanGestureRecognizer::reset() {
  _samples.clear();
}

}  // namespace platform
