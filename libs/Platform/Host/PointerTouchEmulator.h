#pragma once

#include <functional>

#include "Foundation/RunLoop.h"
#include "Graphics/Geometry.h"
#include "UI/UIApplication.h"

namespace platform {

// Turns a desktop pointer into touches. The button is one finger. With the two-finger
// modifier held when the button goes down, a second finger mirrors the pointer through the
// pivot (the screen's centre), so moving towards or away from the pivot pinches and circling
// it rotates. The wheel pinches around the pointer (a notch up spreads the fingers by
// kWheelScaleStep), or rotates them with the rotation modifier (kWheelRotationStep a notch);
// the two fingers stay down while notches keep coming and lift kWheelLiftDelay seconds after
// the last one, on the main run loop's clock.
class PointerTouchEmulator {
 public:
  using Sink = std::function<void(const HostTouch&)>;

  static constexpr long kPrimaryFinger = 0;
  static constexpr long kSecondFinger = -1;
  static constexpr double kWheelScaleStep = 1.1;
  static constexpr double kWheelRotationStep = 0.0872664625997164788;  // 5 degrees
  static constexpr double kWheelSpread = 60;  // the fingers' first distance from the pointer
  static constexpr double kWheelLiftDelay = 0.3;
  // A press closer than this to the pivot puts the fingers this far apart instead.
  static constexpr double kMinimumSpread = 10;

  PointerTouchEmulator(Sink sink, Point pivot);
  ~PointerTouchEmulator();
  PointerTouchEmulator(const PointerTouchEmulator&) = delete;
  PointerTouchEmulator& operator=(const PointerTouchEmulator&) = delete;

  void setPivot(Point pivot) { _pivot = pivot; }
  Point pivot() const { return _pivot; }

  void buttonDown(Point location, bool twoFingers);
  void pointerMoved(Point location);
  void buttonUp(Point location);
  // `notches` > 0 away from the user (spread, or turn anticlockwise on screen).
  void wheel(Point location, double notches, bool rotate);
  // Cancels every finger down (the window lost the pointer).
  void cancel();

  bool isButtonDown() const { return _button; }
  bool hasWheelFingers() const { return _wheelFingers; }

 private:
  void send(HostTouch::Phase phase, long finger, Point location);
  Point mirrored(Point location) const;
  // The button's finger, and the mirrored one when two are down.
  void sendButtonFingers(HostTouch::Phase phase, Point location);
  Point wheelFinger(int side) const;
  void sendWheelFingers(HostTouch::Phase phase);
  void liftWheelFingers(HostTouch::Phase phase);

  Sink _sink;
  Point _pivot;
  bool _button = false;
  bool _twoFingers = false;
  Point _pointer;  // where the button finger is
  Point _offset;   // the pointer's displacement from its press point for a too-close press

  bool _wheelFingers = false;
  Point _wheelCentre;
  double _wheelSpread = kWheelSpread;
  double _wheelAngle = 0;
  RunLoop::TimerId _liftTimer = 0;
};

}  // namespace platform
