#pragma once

#include <memory>
#include <vector>

namespace platform {

class UITouch;
class UIEvent;

// The touches of one delivery; a touch is shared by the event, the view it began on and the
// gesture recognizers that follow it.
using UITouchSet = std::vector<std::shared_ptr<UITouch>>;

// Something that can take touches: views and view controllers. What a responder does not
// handle goes up the chain (a view's controller, then its parent view).
class UIResponder {
 public:
  virtual ~UIResponder() = default;

  virtual UIResponder* nextResponder() const { return nullptr; }

  // The defaults pass the touches on to the next responder.
  virtual void touchesBegan(const UITouchSet& touches, UIEvent* event);
  virtual void touchesMoved(const UITouchSet& touches, UIEvent* event);
  virtual void touchesEnded(const UITouchSet& touches, UIEvent* event);
  virtual void touchesCancelled(const UITouchSet& touches, UIEvent* event);
};

}  // namespace platform
