#pragma once

#include <atomic>

namespace platform {

// The time source of a run loop, in seconds. Timers, animations and gestures read it; nothing
// else should read the time directly, so that tests can replace it.
class Clock {
 public:
  virtual ~Clock();
  virtual double now() const = 0;
  // A virtual clock only moves when told to; the run loop then never waits for it.
  virtual bool isVirtual() const { return false; }
};

// Monotonic time of the machine.
class SystemClock final : public Clock {
 public:
  double now() const override;
};

// Time that moves only by advance(): tests jump over long delays without sleeping.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(double start = 0) : _now(start) {}
  double now() const override { return _now.load(); }
  bool isVirtual() const override { return true; }
  void advanceTo(double time);

 private:
  std::atomic<double> _now;
};

}  // namespace platform
