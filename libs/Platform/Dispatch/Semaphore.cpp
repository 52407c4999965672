#include "Dispatch/Semaphore.h"

#include <chrono>

namespace platform {

Semaphore::Semaphore(long value) : _value(value) {}

void Semaphore::signal() {
  {
    std::lock_guard lock(_mutex);
    ++_value;
  }
  _available.notify_one();
}

void Semaphore::wait() {
  std::unique_lock lock(_mutex);
  _available.wait(lock, [this] { return _value > 0; });
  --_value;
}

bool Semaphore::waitFor(double seconds) {
  std::unique_lock lock(_mutex);
  if (!_available.wait_for(lock, std::chrono::duration<double>(seconds > 0 ? seconds : 0),
                           [this] { return _value > 0; }))
    return false;
  --_value;
  return true;
}

bool Semaphore::tryWait() {
  std::lock_guard lock(_mutex);
  if (_value <= 0) return false;
  --_value;
  return true;
}

long Semaphore::value() const {
  std::lock_guard lock(_mutex);
  return _value;
}

}  // namespace platform
