#pragma once

#include <condition_variable>
#include <mutex>

namespace platform {

// A counting semaphore whose count is the number of free units.
class Semaphore {
 public:
  explicit Semaphore(long value);

  void signal();
  void wait();
  // Waits at most `seconds`; returns whether a unit was taken.
  bool waitFor(double seconds);
  // Takes a unit only if one is free right now.
  bool tryWait();
  long value() const;

 private:
  mutable std::mutex _mutex;
  std::condition_variable _available;
  long _value;
};

}  // namespace platform
