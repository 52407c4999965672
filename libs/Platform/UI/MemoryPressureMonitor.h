#pragma once

#include <optional>
#include <string>

#include "Foundation/RunLoop.h"

namespace platform {

// Turns the kernel's memory-pressure reports into the application's memory warnings: a PSI
// trigger on /proc/pressure/memory ("some" stall of kStallMicroseconds within each window of
// kWindowMicroseconds, two seconds being the shortest the kernel grants without privileges),
// watched by the main run loop. A kernel without PSI (or a file that refuses triggers) gives no
// warnings; nothing else changes. At most one warning per window.
class MemoryPressureMonitor : public RunLoop::Source {
 public:
  static constexpr long kStallMicroseconds = 150000;
  static constexpr long kWindowMicroseconds = 2000000;

  // Watches `path` (tests name a file of their own; a regular file never reports pressure).
  explicit MemoryPressureMonitor(std::string path = "/proc/pressure/memory");
  ~MemoryPressureMonitor() override;
  MemoryPressureMonitor(const MemoryPressureMonitor&) = delete;
  MemoryPressureMonitor& operator=(const MemoryPressureMonitor&) = delete;

  // Whether the trigger was accepted and is still watched.
  bool isWatching() const { return _fd >= 0; }
  int warningsRaised() const { return _warnings; }

  double prepare(std::vector<pollfd>& fds) override;
  bool dispatch(const pollfd* fds, size_t count, bool deadlinePassed) override;

 private:
  int _fd = -1;
  bool _added = false;
  int _warnings = 0;
};

}  // namespace platform
