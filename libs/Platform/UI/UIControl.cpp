#include "UI/UIControl.h"

#include "UI/InterfaceContext.h"

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
