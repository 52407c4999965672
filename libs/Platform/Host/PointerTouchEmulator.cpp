#include "Host/PointerTouchEmulator.h"

#include <cmath>

namespace platform {

PointerTouchEmulator::PointerTouchEmulator(Sink sink, Point pivot)
    : _sink(std::move(sink)), _pivot(pivot) {}

PointerTouchEmulator::~PointerTouchEmulator() {
  if (_liftTimer) RunLoop::main().cancel(_liftTimer);
}

void PointerTouchEmulator::send(HostTouch::Phase phase, long finger, Point location) {
  _sink(HostTouch{phase, finger, location, RunLoop::main().now()});
}

Point PointerTouchEmulator::mirrored(Point location) const {
  Point p{location.x + _offset.x, location.y + _offset.y};
  return Point{2 * _pivot.x - p.x, 2 * _pivot.y - p.y};
}

void PointerTouchEmulator::buttonDown(Point location, bool twoFingers) {
  if (_button) return;
  // A press ends a wheel gesture still holding its fingers down.
  if (_wheelFingers) liftWheelFingers(HostTouch::Phase::Ended);
  _button = true;
  _twoFingers = twoFingers;
  _offset = Point{0, 0};
  _pointer = location;
  // Both fingers on one spot would make a zero distance nothing can be scaled from.
  if (_twoFingers && std::hypot(location.x - _pivot.x, location.y - _pivot.y) < kMinimumSpread / 2)
    _offset = Point{kMinimumSpread / 2 - (location.x - _pivot.x), 0};
  sendButtonFingers(HostTouch::Phase::Began, location);
}

void PointerTouchEmulator::sendButtonFingers(HostTouch::Phase phase, Point location) {
  send(phase, kPrimaryFinger, location);
  if (_twoFingers) send(phase, kSecondFinger, mirrored(location));
}

void PointerTouchEmulator::pointerMoved(Point location) {
  if (!_button) return;
  _pointer = location;
  sendButtonFingers(HostTouch::Phase::Moved, location);
}

void PointerTouchEmulator::buttonUp(Point location) {
  if (!_button) return;
  _button = false;
  sendButtonFingers(HostTouch::Phase::Ended, location);
  _twoFingers = false;
}

Point PointerTouchEmulator::wheelFinger(int side) const {
  return Point{_wheelCentre.x + side * _wheelSpread * std::cos(_wheelAngle),
               _wheelCentre.y + side * _wheelSpread * std::sin(_wheelAngle)};
}

void PointerTouchEmulator::sendWheelFingers(HostTouch::Phase phase) {
  send(phase, kPrimaryFinger, wheelFinger(-1));
  send(phase, kSecondFinger, wheelFinger(1));
}

void PointerTouchEmulator::wheel(Point location, double notches, bool rotate) {
  if (_button || !std::isfinite(notches) || notches == 0) return;
  if (!_wheelFingers) {
    _wheelFingers = true;
    _wheelCentre = location;
    _wheelSpread = kWheelSpread;
    _wheelAngle = 0;
    sendWheelFingers(HostTouch::Phase::Began);
  }
  if (rotate) {
    // Screen y grows downwards: a negative angle turns anticlockwise as seen.
    _wheelAngle -= notches * kWheelRotationStep;
  } else {
    // Never closer than the gesture's own threshold could tell apart.
    _wheelSpread = std::max(kMinimumSpread, _wheelSpread * std::pow(kWheelScaleStep, notches));
  }
  sendWheelFingers(HostTouch::Phase::Moved);
  if (_liftTimer) RunLoop::main().cancel(_liftTimer);
  _liftTimer = RunLoop::main().schedule(kWheelLiftDelay, [this] {
    _liftTimer = 0;
    liftWheelFingers(HostTouch::Phase::Ended);
  });
}

void PointerTouchEmulator::liftWheelFingers(HostTouch::Phase phase) {
  if (_liftTimer) RunLoop::main().cancel(_liftTimer);
  _liftTimer = 0;
  if (!_wheelFingers) return;
  _wheelFingers = false;
  sendWheelFingers(phase);
}

void PointerTouchEmulator::cancel() {
  liftWheelFingers(HostTouch::Phase::Cancelled);
  if (!_button) return;
  _button = false;
  sendButtonFingers(HostTouch::Phase::Cancelled, _pointer);
  _twoFingers = false;
}

}  // namespace platform
