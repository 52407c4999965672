#include "UI/UIControl.h"

#include "UI/InterfaceContext.h"
#include "UI/UITouch.h"

namespace platform {

void UIControl::setEnabled(bool enabled) {
  if (enabled == _enabled) return;
  _enabled = enabled;
  stateDidChange();
}

void UIControl::setSelected(bool selected) {
  if (selected == _selected) return;
  _selected = selected;
  stateDidChange();
}

void UIControl::setHighlighted(bool highlighted) {
  if (highlighted == _highlighted) return;
  _highlighted = highlighted;
  stateDidChange();
}

UIControlState UIControl::state() const {
  UIControlState s = UIControlStateNormal;
  if (_highlighted) s |= UIControlStateHighlighted;
  if (!_enabled) s |= UIControlStateDisabled;
  if (_selected) s |= UIControlStateSelected;
  return s;
}

void UIControl::addTarget(Action action, UIControlEvents events) {
  if (action && events) _targets.push_back({std::move(action), events});
}

void UIControl::sendActionsForControlEvents(UIControlEvents events) {
  // Copy: an action may add or remove targets, or release the control's last other owner.
  auto targets = _targets;
  auto self = shared_from_this();
  for (const Target& target : targets)
    if (target.events & events) target.action(*this);
}

UIControlEvents UIControl::allControlEvents() const {
  UIControlEvents all = 0;
  for (const Target& target : _targets) all |= target.events;
  return all;
}

bool UIControl::isInsideForTracking(Point point) const {
  Rect b = bounds();
  Rect grown(b.origin.x - kTouchSlop, b.origin.y - kTouchSlop, b.size.width + 2 * kTouchSlop,
             b.size.height + 2 * kTouchSlop);
  return grown.contains(point);
}

void UIControl::touchesBegan(const UITouchSet& touches, UIEvent*) {
  if (!_enabled || _tracking || touches.empty()) return;
  auto self = shared_from_this();
  _tracking = true;
  _touchInside = true;
  setHighlighted(true);
  sendActionsForControlEvents(touches.front()->tapCount() > 1
                                  ? UIControlEventTouchDown | UIControlEventTouchDownRepeat
                                  : UIControlEventTouchDown);
}

void UIControl::touchesMoved(const UITouchSet& touches, UIEvent*) {
  if (!_tracking || touches.empty()) return;
  auto self = shared_from_this();
  bool inside = isInsideForTracking(touches.front()->locationInView(this));
  bool was = _touchInside;
  _touchInside = inside;
  setHighlighted(inside);
  UIControlEvents events = inside ? UIControlEventTouchDragInside : UIControlEventTouchDragOutside;
  if (inside != was) events |= inside ? UIControlEventTouchDragEnter : UIControlEventTouchDragExit;
  sendActionsForControlEvents(events);
}

void UIControl::touchesEnded(const UITouchSet& touches, UIEvent*) {
  if (!_tracking || touches.empty()) return;
  auto self = shared_from_this();
  bool inside = isInsideForTracking(touches.front()->locationInView(this));
  _tracking = false;
  _touchInside = false;
  setHighlighted(false);
  sendActionsForControlEvents(inside ? UIControlEventTouchUpInside : UIControlEventTouchUpOutside);
}

void UIControl::touchesCancelled(const UITouchSet&, UIEvent*) {
  if (!_tracking) return;
  auto self = shared_from_this();
  _tracking = false;
  _touchInside = false;
  setHighlighted(false);
  sendActionsForControlEvents(UIControlEventTouchCancel);
}

bool UIControl::applyAttribute(const std::string& name, const std::string& value,
                               InterfaceContext& context, std::string& error) {
  if (name == "enabled" || name == "selected" || name == "highlighted") {
    auto b = context.parseBool(value, error);
    if (!b) return false;
    if (name == "enabled") setEnabled(*b);
    if (name == "selected") setSelected(*b);
    if (name == "highlighted") setHighlighted(*b);
    return true;
  }
  return UIView::applyAttribute(name, value, context, error);
}

}  // namespace platform
