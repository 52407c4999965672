#include "UI/MemoryPressureMonitor.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>
#include <limits>

#include "Foundation/Console.h"
#include "UI/UIApplication.h"

namespace platform {

MemoryPressureMonitor::MemoryPressureMonitor(std::string path) {
  int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  std::string trigger =
      "some " + std::to_string(kStallMicroseconds) + " " + std::to_string(kWindowMicroseconds);
  // The terminating NUL is part of what the kernel expects.
  if (write(fd, trigger.c_str(), trigger.size() + 1) < 0) {
    Console::logf("Memory pressure is not reported here (%s): no memory warnings",
                  std::strerror(errno));
    close(fd);
    return;
  }
  _fd = fd;
  _added = true;
  RunLoop::main().addSource(this);
}

MemoryPressureMonitor::~MemoryPressureMonitor() {
  if (_added) RunLoop::main().removeSource(this);
  if (_fd >= 0) close(_fd);
}

double MemoryPressureMonitor::prepare(std::vector<pollfd>& fds) {
  if (_fd >= 0) fds.push_back(pollfd{_fd, POLLPRI, 0});
  return std::numeric_limits<double>::infinity();
}

bool MemoryPressureMonitor::dispatch(const pollfd* fds, size_t count, bool) {
  if (count == 0) return false;
  if (fds[0].revents & POLLERR) {
    // The trigger is gone (the file went away): stop watching rather than spin.
    Console::log("Memory pressure reports stopped");
    close(_fd);
    _fd = -1;
    return false;
  }
  if (!(fds[0].revents & POLLPRI)) return false;
  ++_warnings;
  UIApplication::sharedApplication().receiveMemoryWarning();
  return true;
}

}  // namespace platform
