#include "UI/TouchDispatcher.h"

#include <algorithm>
#include <cmath>

#include "Foundation/Console.h"
#include "UI/UITouch.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

using S = UIGestureRecognizerState;

bool isOver(S state) {
  return state == S::Ended || state == S::Cancelled || state == S::Failed;
}

bool inProgress(S state) {
  return state == S::Began || state == S::Changed;
}

// Calls the receiver's (a view's or a recognizer's) method for the phase; a stationary touch
// counts as moved.
template <class Receiver>
void sendTouches(Receiver& receiver, UITouchPhase phase, const UITouchSet& set, UIEvent* event) {
  switch (phase) {
    case UITouchPhase::Began:
      return receiver.touchesBegan(set, event);
    case UITouchPhase::Moved:
    case UITouchPhase::Stationary:
      return receiver.touchesMoved(set, event);
    case UITouchPhase::Ended:
      return receiver.touchesEnded(set, event);
    case UITouchPhase::Cancelled:
      return receiver.touchesCancelled(set, event);
  }
}

}  // namespace

TouchDispatcher& TouchDispatcher::shared() {
  static TouchDispatcher dispatcher;
  return dispatcher;
}

std::shared_ptr<UIGestureRecognizer> TouchDispatcher::strong(UIGestureRecognizer& r) const {
  return r.weak_from_this().lock();
}

bool TouchDispatcher::isActive(const UIGestureRecognizer* recognizer) const {
  return std::any_of(_recognizers.begin(), _recognizers.end(),
                     [&](const auto& r) { return r.get() == recognizer; });
}

void TouchDispatcher::handleHostTouch(const HostTouch& host) {
  auto window = UIApplication::sharedApplication().keyWindow();
  Point p = host.location;
  if (window) {
    // The window's frame places it on the screen; its bounds give its own coordinates.
    Rect frame = window->frame();
    Rect bounds = window->bounds();
    p = Point{p.x - frame.origin.x + bounds.origin.x, p.y - frame.origin.y + bounds.origin.y};
  }
  auto found = _touches.find(host.identifier);
  std::shared_ptr<UITouch> touch = found == _touches.end() ? nullptr : found->second;

  if (host.phase == HostTouch::Phase::Began) {
    if (touch) {
      Console::log("Touches: finger " + std::to_string(host.identifier) +
                   " came down again before lifting; its first touch is cancelled");
      deliver(touch, UITouchPhase::Cancelled);
      _touches.erase(host.identifier);
      std::erase(_event._touches, touch);
    }
    UIView* hit = window ? window->hitTest(p) : nullptr;
    if (!hit) {
      sweep();
      return;
    }
    touch = std::make_shared<UITouch>();
    touch->_identifier = host.identifier;
    touch->_timestamp = host.timestamp;
    touch->_location = touch->_previous = p;
    touch->_view = hit->weak_from_this();
    touch->_window = window;
    double dx = p.x - _lastTapLocation.x, dy = p.y - _lastTapLocation.y;
    bool nextTap = host.timestamp - _lastTapEnd <= kMultiTapInterval &&
                   std::hypot(dx, dy) <= kMultiTapDistance;
    touch->_tapCount = nextTap ? _lastTapCount + 1 : 1;
    // The recognizers of the view hit and of its ancestors, innermost first.
    for (UIView* v = hit; v; v = v->superview()) {
      for (const auto& r : v->gestureRecognizers()) {
        if (!r->isEnabled() || isOver(r->_state)) continue;
        auto delegate = r->delegate();
        if (delegate && !delegate->gestureRecognizerShouldReceiveTouch(*r, *touch)) continue;
        touch->_recognizers.push_back(r);
        if (!isActive(r.get())) _recognizers.push_back(r);
      }
    }
    _touches[host.identifier] = touch;
    _event._touches.push_back(touch);
    deliver(touch, UITouchPhase::Began);
    sweep();
    return;
  }

  if (!touch) return;  // a finger that came down outside the window, or after a reset
  touch->_previous = touch->_location;
  touch->_location = p;
  touch->_timestamp = host.timestamp;
  if (host.phase == HostTouch::Phase::Moved) {
    deliver(touch, UITouchPhase::Moved);
  } else {
    bool ended = host.phase == HostTouch::Phase::Ended;
    deliver(touch, ended ? UITouchPhase::Ended : UITouchPhase::Cancelled);
    _touches.erase(host.identifier);
    std::erase(_event._touches, touch);
    if (ended) {
      _lastTapEnd = host.timestamp;
      _lastTapLocation = p;
      _lastTapCount = touch->_tapCount;
    }
  }
  sweep();
}

void TouchDispatcher::deliver(const std::shared_ptr<UITouch>& touch, UITouchPhase phase) {
  _event._timestamp = touch->_timestamp;
  for (auto& other : _event._touches)
    if (other != touch && other->_phase != UITouchPhase::Began)
      other->_phase = UITouchPhase::Stationary;
  touch->_phase = phase;
  UITouchSet set{touch};
  ++_depth;
  auto recognizers = touch->gestureRecognizers();
  auto window = touch->_window.lock();
  // A view that left the touch's window (taken away by a transition, say) hears nothing
  // more of it; its recognizers are told once that the touch is cancelled.
  auto inTree = [&window](UIView* v) { return v && window && v->window() == window.get(); };
  for (auto& r : recognizers) {
    UITouchPhase effective = phase;
    if (phase != UITouchPhase::Began && !inTree(r->_view)) {
      if (std::find(r->_touches.begin(), r->_touches.end(), touch) == r->_touches.end()) continue;
      effective = UITouchPhase::Cancelled;
    }
    if (effective == UITouchPhase::Began) r->_touches.push_back(touch);
    bool live = r->_enabled && !isOver(r->_state) && r->_view;
    if (live) sendTouches(*r, effective, set, &_event);
    if (effective == UITouchPhase::Ended || effective == UITouchPhase::Cancelled) {
      r->_lastLocation = r->centroidInWindow();
      std::erase(r->_touches, touch);
      if (!r->_touches.empty()) r->_lastLocation = r->centroidInWindow();
    } else {
      r->_lastLocation = r->centroidInWindow();
    }
  }
  if (touch->_deliverToView) {
    if (auto view = touch->_view.lock(); view && inTree(view.get()))
      sendTouches(*view, phase, set, &_event);
  }
  --_depth;
}

bool TouchDispatcher::simultaneous(UIGestureRecognizer& a, UIGestureRecognizer& b) const {
  auto da = a.delegate();
  if (da && da->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(a, b))
    return true;
  auto db = b.delegate();
  return db && db->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(b, a);
}

bool TouchDispatcher::shareTouches(const UIGestureRecognizer& a,
                                   const UIGestureRecognizer& b) const {
  for (const auto& t : a._touches)
    if (std::find(b._touches.begin(), b._touches.end(), t) != b._touches.end()) return true;
  return false;
}

TouchDispatcher::Requirement TouchDispatcher::checkRequirements(
    const UIGestureRecognizer& recognizer) const {
  for (const auto& weak : recognizer._requiredToFail) {
    auto other = weak.lock();
    if (!other || other->_state == S::Failed) continue;
    if (other->_state == S::Possible) {
      // One that takes no part in these touches cannot succeed: as good as failed.
      if (isActive(other.get()) && other->_enabled) return Requirement::Wait;
      continue;
    }
    return Requirement::Fail;
  }
  return Requirement::Proceed;
}

void TouchDispatcher::requestState(UIGestureRecognizer& r, UIGestureRecognizerState state) {
  auto self = strong(r);
  if (!self) {
    Console::log("Gestures: a " + r.className() + " not held by a shared pointer was ignored");
    return;
  }
  S current = r._state;
  if (isOver(current) || state == S::Possible) return;
  if (!isActive(&r)) _recognizers.push_back(self);
  switch (state) {
    case S::Failed:
      fail(self);
      break;
    case S::Cancelled:
      if (inProgress(current)) {
        r._state = S::Cancelled;
        r.sendActions();
      } else {
        fail(self);
      }
      break;
    case S::Changed:
      if (inProgress(current)) {
        r._state = S::Changed;
        r.sendActions();
      }
      break;
    case S::Began:
    case S::Ended:
      if (inProgress(current)) {
        if (state == S::Ended) {
          r._state = S::Ended;
          r.sendActions();
        }
        break;
      }
      // Leaving the possible state.
      if (r._pending) {
        r._pending = state;
        break;
      }
      if (auto delegate = r.delegate(); delegate && !delegate->gestureRecognizerShouldBegin(r)) {
        fail(self);
        break;
      }
      switch (checkRequirements(r)) {
        case Requirement::Fail:
          fail(self);
          break;
        case Requirement::Wait:
          r._pending = state;
          break;
        case Requirement::Proceed:
          begin(self, state);
          break;
      }
      break;
    case S::Possible:
      break;
  }
  if (_depth == 0) sweep();
}

void TouchDispatcher::begin(const std::shared_ptr<UIGestureRecognizer>& r, S state) {
  r->_pending.reset();
  // A gesture already under way on these touches keeps them, unless both may run together.
  auto others = _recognizers;
  for (auto& o : others) {
    if (o != r && inProgress(o->_state) && shareTouches(*r, *o) && !simultaneous(*r, *o)) {
      fail(r);
      return;
    }
  }
  r->_state = state;
  for (auto& o : others) {
    if (o != r && o->_state == S::Possible && shareTouches(*r, *o) && !simultaneous(*r, *o))
      fail(o);
  }
  if (r->_cancelsTouchesInView) cancelTouchesInView(*r);
  r->sendActions();
  resolveWaiting();
}

void TouchDispatcher::fail(const std::shared_ptr<UIGestureRecognizer>& r) {
  if (isOver(r->_state)) return;
  r->_state = S::Failed;
  r->_pending.reset();
  resolveWaiting();
}

void TouchDispatcher::resolveWaiting() {
  auto waiting = _recognizers;
  for (auto& o : waiting) {
    if (!o->_pending || o->_state != S::Possible) continue;
    switch (checkRequirements(*o)) {
      case Requirement::Wait:
        break;
      case Requirement::Fail:
        fail(o);
        break;
      case Requirement::Proceed:
        begin(o, *o->_pending);
        break;
    }
  }
}

void TouchDispatcher::cancelTouchesInView(UIGestureRecognizer& r) {
  auto touches = r._touches;
  for (auto& touch : touches) {
    if (!touch->_deliverToView) continue;
    touch->_deliverToView = false;
    if (auto view = touch->_view.lock()) view->touchesCancelled(UITouchSet{touch}, &_event);
  }
}

void TouchDispatcher::recognizerDisabled(UIGestureRecognizer& r) {
  auto self = strong(r);
  if (!self || !isActive(&r)) return;
  if (inProgress(r._state)) {
    r._state = S::Cancelled;
    r.sendActions();
  } else {
    fail(self);
  }
  for (auto& touch : r._touches)
    std::erase_if(touch->_recognizers, [&](const auto& w) { return w.lock() == self; });
  r._touches.clear();
  if (_depth == 0) sweep();
}

void TouchDispatcher::sweep() {
  auto recognizers = _recognizers;
  for (auto& r : recognizers) {
    if (!r->_touches.empty()) continue;
    bool over = isOver(r->_state);
    bool idle = r->_state == S::Possible && !r->_pending && !r->isAwaitingMoreTouches();
    if (!over && !idle) continue;
    std::erase(_recognizers, r);
    r->_state = S::Possible;
    r->_pending.reset();
    r->reset();
  }
}

void TouchDispatcher::reset() {
  auto touches = _touches;
  _touches.clear();
  _event._touches.clear();
  for (auto& [id, touch] : touches) {
    touch->_phase = UITouchPhase::Cancelled;
    if (touch->_deliverToView)
      if (auto view = touch->_view.lock()) view->touchesCancelled(UITouchSet{touch}, &_event);
  }
  auto recognizers = std::move(_recognizers);
  _recognizers.clear();
  for (auto& r : recognizers) {
    if (inProgress(r->_state)) {
      r->_state = S::Cancelled;
      r->sendActions();
    }
    r->_touches.clear();
    r->_state = S::Possible;
    r->_pending.reset();
    r->reset();
  }
  _lastTapEnd = -1e9;
  _lastTapCount = 0;
}

}  // namespace platform
