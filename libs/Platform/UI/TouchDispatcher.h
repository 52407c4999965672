#pragma once

#include <map>
#include <memory>
#include <vector>

#include "UI/UIApplication.h"
#include "UI/UIEvent.h"
#include "UI/UIGestureRecognizer.h"
#include "UI/UITouch.h"

namespace platform {

class UIView;

// Turns host touches into UITouch objects and delivers them: first to the gesture recognizers
// of the view hit and its ancestors, then to the view, unless a recognized gesture cancelled
// the touch for it. It also arbitrates between recognizers: the delegate's veto, waiting for
// required failures, and one gesture at a time on the same touches unless a delegate allows
// both. The application sends host touches here unless a test installed its own handler.
class TouchDispatcher {
 public:
  static TouchDispatcher& shared();

  void handleHostTouch(const HostTouch& hostTouch);
  // Drops every touch in flight (their views are told they are cancelled) and every active
  // recognizer.
  void reset();
  // Touches currently down.
  size_t activeTouchCount() const { return _touches.size(); }

  // From the recognizers.
  void requestState(UIGestureRecognizer& recognizer, UIGestureRecognizerState state);
  void recognizerDisabled(UIGestureRecognizer& recognizer);

  // Touches that begin within this time (seconds) and distance (points) of the last tap's end
  // count as its next tap.
  static constexpr double kMultiTapInterval = 0.35;
  static constexpr double kMultiTapDistance = 25;

 private:
  TouchDispatcher() = default;
  void deliver(const std::shared_ptr<UITouch>& touch, UITouchPhase phase);
  void begin(const std::shared_ptr<UIGestureRecognizer>& recognizer,
             UIGestureRecognizerState state);
  void fail(const std::shared_ptr<UIGestureRecognizer>& recognizer);
  // Whether the recognizer must wait (a required one is still possible) or fail (one was
  // recognized); nothing when it may go ahead.
  enum class Requirement { Proceed, Wait, Fail };
  Requirement checkRequirements(const UIGestureRecognizer& recognizer) const;
  bool simultaneous(UIGestureRecognizer& a, UIGestureRecognizer& b) const;
  bool shareTouches(const UIGestureRecognizer& a, const UIGestureRecognizer& b) const;
  bool isActive(const UIGestureRecognizer* recognizer) const;
  void cancelTouchesInView(UIGestureRecognizer& recognizer);
  void resolveWaiting();
  // Resets recognizers whose gesture is over and that hold no touches.
  void sweep();
  std::shared_ptr<UIGestureRecognizer> strong(UIGestureRecognizer& recognizer) const;

  std::map<long, std::shared_ptr<UITouch>> _touches;
  UIEvent _event;
  std::vector<std::shared_ptr<UIGestureRecognizer>> _recognizers;
  double _lastTapEnd = -1e9;
  Point _lastTapLocation;
  int _lastTapCount = 0;
  int _depth = 0;
};

}  // namespace platform
