#include "UI/UIEvent.h"

#include "UI/UIGestureRecognizer.h"
#include "UI/UITouch.h"
#include "UI/UIWindow.h"

namespace platform {

UITouchSet UIEvent::touchesForView(const UIView* view) const {
  UITouchSet out;
  for (const auto& touch : _touches)
    if (touch->view() && touch->view() == view) out.push_back(touch);
  return out;
}

UITouchSet UIEvent::touchesForWindow(const UIWindow* window) const {
  UITouchSet out;
  for (const auto& touch : _touches)
    if (touch->window() && touch->window() == window) out.push_back(touch);
  return out;
}

UITouchSet UIEvent::touchesForGestureRecognizer(const UIGestureRecognizer* recognizer) const {
  UITouchSet out;
  for (const auto& touch : _touches)
    for (const auto& r : touch->gestureRecognizers())
      if (r.get() == recognizer) out.push_back(touch);
  return out;
}

}  // namespace platform
