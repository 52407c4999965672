#pragma once

#include <cstdint>

#include "UI/UIGestureRecognizer.h"

namespace platform {

// Numbered as the phone's toolkit numbers them; they combine as bits.
using UISwipeGestureRecognizerDirection = std::uint32_t;
inline constexpr UISwipeGestureRecognizerDirection UISwipeGestureRecognizerDirectionRight = 1;
inline constexpr UISwipeGestureRecognizerDirection UISwipeGestureRecognizerDirectionLeft = 2;
inline constexpr UISwipeGestureRecognizerDirection UISwipeGestureRecognizerDirectionUp = 4;
inline constexpr UISwipeGestureRecognizerDirection UISwipeGestureRecognizerDirectionDown = 8;

// A quick stroke in one of the allowed directions: recognized (discrete) once the fingers have
// gone kMinimumDistance points mostly along one axis within kMaximumDuration seconds; a stroke
// the other way, a slow one or one that lifts early fails. Its location is where it began.
class UISwipeGestureRecognizer : public UIGestureRecognizer {
 public:
  using UIGestureRecognizer::UIGestureRecognizer;
  std::string className() const override { return "UISwipeGestureRecognizer"; }

  static constexpr double kMinimumDistance = 50;
  static constexpr double kMaximumDuration = 0.5;

  UISwipeGestureRecognizerDirection direction() const { return _direction; }
  void setDirection(UISwipeGestureRecognizerDirection direction) { _direction = direction; }
  int numberOfTouchesRequired() const { return _touchesRequired; }
  void setNumberOfTouchesRequired(int n) { _touchesRequired = std::max(1, n); }

  Point locationInView(const UIView* view) const override;

  void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
  void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
  void touchesEnded(const UITouchSet& touches, UIEvent* event) override;

 private:
  UISwipeGestureRecognizerDirection _direction = UISwipeGestureRecognizerDirectionRight;
  int _touchesRequired = 1;
  Point _start;
  double _startTime = 0;
};

}  // namespace platform
