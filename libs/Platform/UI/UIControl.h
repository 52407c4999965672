#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "UI/UIView.h"

namespace platform {

// Control states, as the phone's toolkit numbers them; they combine as bits.
using UIControlState = std::uint32_t;
inline constexpr UIControlState UIControlStateNormal = 0;
inline constexpr UIControlState UIControlStateHighlighted = 1 << 0;
inline constexpr UIControlState UIControlStateDisabled = 1 << 1;
inline constexpr UIControlState UIControlStateSelected = 1 << 2;

using UIControlEvents = std::uint32_t;
inline constexpr UIControlEvents UIControlEventTouchDown = 1 << 0;
inline constexpr UIControlEvents UIControlEventTouchDownRepeat = 1 << 1;
inline constexpr UIControlEvents UIControlEventTouchDragInside = 1 << 2;
inline constexpr UIControlEvents UIControlEventTouchDragOutside = 1 << 3;
inline constexpr UIControlEvents UIControlEventTouchDragEnter = 1 << 4;
inline constexpr UIControlEvents UIControlEventTouchDragExit = 1 << 5;
inline constexpr UIControlEvents UIControlEventTouchUpInside = 1 << 6;
inline constexpr UIControlEvents UIControlEventTouchUpOutside = 1 << 7;
inline constexpr UIControlEvents UIControlEventTouchCancel = 1 << 8;
inline constexpr UIControlEvents UIControlEventValueChanged = 1 << 12;

// A view with the enabled, selected and highlighted states, and actions sent for control
// events. An enabled control tracks the touch that begins on it: highlighted while the finger
// is inside (the bounds grown by kTouchSlop), touch up inside or outside when it lifts, touch
// cancel when a gesture takes the touch over. Touches never go past a control.
class UIControl : public UIView {
 public:
  using UIView::UIView;
  std::string className() const override { return "UIControl"; }

  using Action = std::function<void(UIControl& sender)>;

  bool isEnabled() const { return _enabled; }
  void setEnabled(bool enabled);
  bool isSelected() const { return _selected; }
  void setSelected(bool selected);
  bool isHighlighted() const { return _highlighted; }
  void setHighlighted(bool highlighted);
  UIControlState state() const;

  // Actions run in the order added, for every event in `events` sent.
  void addTarget(Action action, UIControlEvents events);
  void removeAllTargets() { _targets.clear(); }
  void sendActionsForControlEvents(UIControlEvents events);
  UIControlEvents allControlEvents() const;

  bool applyAttribute(const std::string& name, const std::string& value, InterfaceContext& context,
                      std::string& error) override;

  static constexpr double kTouchSlop = 70;
  bool isTracking() const { return _tracking; }
  bool isTouchInside() const { return _touchInside; }
  void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
  void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
  void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
  void touchesCancelled(const UITouchSet& touches, UIEvent* event) override;

 protected:
  // Whether a point in bounds coordinates counts as inside while tracking.
  bool isInsideForTracking(Point point) const;

  // The state changed: subclasses update their look.
  virtual void stateDidChange() { setNeedsLayout(); }

 private:
  struct Target {
    Action action;
    UIControlEvents events;
  };
  bool _enabled = true;
  bool _selected = false;
  bool _highlighted = false;
  bool _tracking = false;
  bool _touchInside = false;
  std::vector<Target> _targets;
};

}  // namespace platform
