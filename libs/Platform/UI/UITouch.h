#pragma once

#include <memory>
#include <vector>

#include "Graphics/Geometry.h"
#include "UI/UIResponder.h"

namespace platform {

class UIView;
class UIWindow;
class UIGestureRecognizer;

// Numbered as the phone's toolkit numbers them.
enum class UITouchPhase { Began = 0, Moved = 1, Stationary = 2, Ended = 3, Cancelled = 4 };

// One finger on the screen, from the moment it comes down until it lifts or is cancelled. The
// touch dispatcher makes and updates touches; everyone else reads them.
class UITouch {
 public:
  UITouchPhase phase() const { return _phase; }
  // 1 for a single tap; one more for each touch that begins near where, and soon after, the
  // previous one ended.
  int tapCount() const { return _tapCount; }
  // Seconds on the main run loop's clock of the latest change.
  double timestamp() const { return _timestamp; }
  // The view the touch began on, or null once that view is gone.
  UIView* view() const;
  UIWindow* window() const;
  // Where the finger is, in `view`'s bounds (null: the window's coordinates).
  Point locationInView(const UIView* view) const;
  Point previousLocationInView(const UIView* view) const;
  // The recognizers that receive this touch.
  std::vector<std::shared_ptr<UIGestureRecognizer>> gestureRecognizers() const;
  // The host's finger number.
  long identifier() const { return _identifier; }

 private:
  friend class TouchDispatcher;
  Point convert(Point inWindow, const UIView* view) const;

  UITouchPhase _phase = UITouchPhase::Began;
  int _tapCount = 1;
  double _timestamp = 0;
  long _identifier = 0;
  Point _location;
  Point _previous;
  std::weak_ptr<UIView> _view;
  std::weak_ptr<UIView> _window;
  std::vector<std::weak_ptr<UIGestureRecognizer>> _recognizers;
  // Cleared when a recognizer takes the touch over: the view was told it is cancelled.
  bool _deliverToView = true;
};

}  // namespace platform
