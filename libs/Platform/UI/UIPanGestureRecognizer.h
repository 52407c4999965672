#pragma once

#include <climits>
#include <deque>

#include "UI/UIGestureRecognizer.h"

namespace platform {

// A continuous drag of one or more fingers. It begins only once the fingers' centroid has moved
// kHysteresis points; the translation counts from where the fingers came down, so it includes
// that first movement. Fingers added or lifted mid-drag do not make the translation jump.
class UIPanGestureRecognizer : public UIGestureRecognizer {
 public:
  using UIGestureRecognizer::UIGestureRecognizer;
  std::string className() const override { return "UIPanGestureRecognizer"; }

  static constexpr double kHysteresis = 10;

  int minimumNumberOfTouches() const { return _minimumTouches; }
  void setMinimumNumberOfTouches(int n) { _minimumTouches = std::max(1, n); }
  int maximumNumberOfTouches() const { return _maximumTouches; }
  void setMaximumNumberOfTouches(int n) { _maximumTouches = std::max(1, n); }

  // How far the fingers moved, measured in `view`'s coordinates (null: the window's).
  Point translationInView(const UIView* view) const;
  // Makes the translation in `view` read `translation` from here on.
  void setTranslation(Point translation, const UIView* view);
  // Points per second in `view` over the last tenth of a second of movement.
  Point velocityInView(const UIView* view) const;

  void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
  void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
  void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
  void reset() override;

 private:
  struct Sample {
    double time;
    Point centroid;
  };
  void addSample(double time);
  Point _start;  // window coordinates, moved along when fingers come and go
  std::deque<Sample> _samples;
  double _lastEventTime = 0;
  int _minimumTouches = 1;
  int _maximumTouches = INT_MAX;
};

}  // namespace platform
