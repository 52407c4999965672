#pragma once

namespace platform {

class UIGestureRecognizer;
class UITouch;

// Lets an owner veto gestures; every answer defaults to the toolkit's own.
class UIGestureRecognizerDelegate {
 public:
  virtual ~UIGestureRecognizerDelegate() = default;
  // Asked when the recognizer would leave the possible state; no makes it fail.
  virtual bool gestureRecognizerShouldBegin(UIGestureRecognizer&) { return true; }
  // Asked when a touch begins in the recognizer's view; no keeps the touch from it.
  virtual bool gestureRecognizerShouldReceiveTouch(UIGestureRecognizer&, UITouch&) { return true; }
  // Whether both may be recognized at once; either side's yes is enough.
  virtual bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
      UIGestureRecognizer&, UIGestureRecognizer&) {
    return false;
  }
};

}  // namespace platform
