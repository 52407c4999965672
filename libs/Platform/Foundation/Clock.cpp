#include "Foundation/Clock.h"

#include <chrono>

namespace platform {

Clock::~Clock() = default;

double SystemClock::now() const {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void VirtualClock::advanceTo(double time) {
  double current = _now.load();
  while (time > current && !_now.compare_exchange_weak(current, time)) {
  }
}

}  // namespace platform
