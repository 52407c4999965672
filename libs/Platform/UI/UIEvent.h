#pragma once

#include "UI/UIResponder.h"

namespace platform {

class UIView;
class UIWindow;
class UIGestureRecognizer;

enum class UIEventType { Touches = 0 };

// The touches on the screen at one moment: the one that changed and the stationary others.
class UIEvent {
 public:
  UIEventType type() const { return UIEventType::Touches; }
  double timestamp() const { return _timestamp; }
  const UITouchSet& allTouches() const { return _touches; }
  UITouchSet touchesForView(const UIView* view) const;
  UITouchSet touchesForWindow(const UIWindow* window) const;
  UITouchSet touchesForGestureRecognizer(const UIGestureRecognizer* recognizer) const;

 private:
  friend class TouchDispatcher;
  UITouchSet _touches;
  double _timestamp = 0;
};

}  // namespace platform
