#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Graphics/Geometry.h"
#include "UI/UIGestureRecognizerDelegate.h"
#include "UI/UIResponder.h"

namespace platform {

class UIView;

// Numbered as the phone's toolkit numbers them; a discrete gesture goes straight from possible
// to recognized (= ended).
enum class UIGestureRecognizerState {
  Possible = 0,
  Began = 1,
  Changed = 2,
  Ended = 3,
  Cancelled = 4,
  Failed = 5,
  Recognized = 3,
};

// Watches the touches that begin in its view (or below it) and turns them into one gesture.
// Subclasses read touches and call setState; the touch dispatcher decides whether a requested
// transition happens (the delegate, recognizers it must wait for, other recognizers on the
// same touches) and calls the actions on each one that does. Main thread only.
class UIGestureRecognizer : public std::enable_shared_from_this<UIGestureRecognizer> {
 public:
  using Action = std::function<void(UIGestureRecognizer&)>;

  UIGestureRecognizer() = default;
  explicit UIGestureRecognizer(Action action);
  virtual ~UIGestureRecognizer() = default;
  UIGestureRecognizer(const UIGestureRecognizer&) = delete;
  UIGestureRecognizer& operator=(const UIGestureRecognizer&) = delete;

  virtual std::string className() const { return "UIGestureRecognizer"; }

  void addTarget(Action action);
  void removeAllTargets() { _actions.clear(); }

  UIGestureRecognizerState state() const { return _state; }
  // The view it is attached to (UIView::addGestureRecognizer), or null.
  UIView* view() const { return _view; }
  bool isEnabled() const { return _enabled; }
  // Disabling cancels a gesture in progress.
  void setEnabled(bool enabled);
  // When recognized, the touches it follows are cancelled for the views beneath. Default yes.
  bool cancelsTouchesInView() const { return _cancelsTouchesInView; }
  void setCancelsTouchesInView(bool cancels) { _cancelsTouchesInView = cancels; }
  std::shared_ptr<UIGestureRecognizerDelegate> delegate() const { return _delegate.lock(); }
  void setDelegate(std::weak_ptr<UIGestureRecognizerDelegate> delegate) {
    _delegate = std::move(delegate);
  }
  // This one is recognized only once `other` has failed, and fails when `other` is recognized.
  void requireGestureRecognizerToFail(const std::shared_ptr<UIGestureRecognizer>& other);

  // The centroid of its touches in `view` (null: the window); the last one after they ended.
  virtual Point locationInView(const UIView* view) const;
  int numberOfTouches() const { return static_cast<int>(_touches.size()); }
  Point locationOfTouch(int index, const UIView* view) const;

  // What subclasses override to follow their touches.
  virtual void touchesBegan(const UITouchSet&, UIEvent*) {}
  virtual void touchesMoved(const UITouchSet&, UIEvent*) {}
  virtual void touchesEnded(const UITouchSet&, UIEvent*) {}
  virtual void touchesCancelled(const UITouchSet&, UIEvent*);
  // Back to the possible state once a gesture is over; subclasses clear their own state.
  virtual void reset() {}

  // Called by UIView when attached or detached.
  void setView(UIView* view) { _view = view; }

 protected:
  // A request: the dispatcher applies it, defers it or turns it into a failure.
  void setState(UIGestureRecognizerState state);
  const UITouchSet& touches() const { return _touches; }
  // The centroid of the touches in the window's coordinates.
  Point centroidInWindow() const;
  // Converts a window point into `view` (null: unchanged).
  Point windowPointToView(Point point, const UIView* view) const;
  Point viewPointToWindow(Point point, const UIView* view) const;
  // The centroid of the touches without `left` (one that is lifting).
  Point centroidWithout(const UITouch* left) const;
  // True while the gesture may go on with touches yet to come (a tap waiting for its next
  // tap); others that hold no touches are over.
  virtual bool isAwaitingMoreTouches() const { return false; }

 private:
  friend class TouchDispatcher;
  void sendActions();

  UIGestureRecognizerState _state = UIGestureRecognizerState::Possible;
  // A transition held back until the recognizers it waits for have failed.
  std::optional<UIGestureRecognizerState> _pending;
  std::vector<Action> _actions;
  UIView* _view = nullptr;
  bool _enabled = true;
  bool _cancelsTouchesInView = true;
  std::weak_ptr<UIGestureRecognizerDelegate> _delegate;
  std::vector<std::weak_ptr<UIGestureRecognizer>> _requiredToFail;
  UITouchSet _touches;
  Point _lastLocation;
};

}  // namespace platform
