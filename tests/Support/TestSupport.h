#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Foundation/AppContainer.h"
#include "Foundation/Console.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"

namespace testing_support {

// A fresh directory under the system's temporary folder, removed with everything in it.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pictavia-test-XXXXXX").string();
    _path = mkdtemp(pattern.data()) ? pattern : "";
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(_path, ignored);
  }
  const std::string& path() const { return _path; }
  std::string file(const std::string& name) const { return _path + "/" + name; }

 private:
  std::string _path;
};

// Points the app container at a temporary directory for the life of the object.
class ScopedAppContainer {
 public:
  ScopedAppContainer() { platform::AppContainer::setRootOverride(_root.path()); }
  ~ScopedAppContainer() { platform::AppContainer::setRootOverride(std::nullopt); }
  const std::string& root() const { return _root.path(); }

 private:
  TemporaryDirectory _root;
};

// Collects console lines instead of printing them.
class ConsoleCapture {
 public:
  ConsoleCapture() {
    _previous = platform::Console::setSink([this](std::string_view line) {
      std::lock_guard lock(_mutex);
      _lines.emplace_back(line);
    });
  }
  ~ConsoleCapture() { platform::Console::setSink(std::move(_previous)); }
  std::vector<std::string> lines() const {
    std::lock_guard lock(_mutex);
    return _lines;
  }

 private:
  platform::Console::Sink _previous;
  mutable std::mutex _mutex;
  std::vector<std::string> _lines;
};

// Sets or clears an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : _name(name) {
    if (const char* old = getenv(name)) _old = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (_old) {
      setenv(_name.c_str(), _old->c_str(), 1);
    } else {
      unsetenv(_name.c_str());
    }
  }

 private:
  std::string _name;
  std::optional<std::string> _old;
};

// Sets the device profile for the life of the object.
class ScopedDeviceProfile {
 public:
  explicit ScopedDeviceProfile(platform::DeviceProfile profile)
      : _saved(platform::DeviceProfile::current()) {
    platform::DeviceProfile::setCurrent(std::move(profile));
  }
  ~ScopedDeviceProfile() { platform::DeviceProfile::setCurrent(_saved); }
  ScopedDeviceProfile(const ScopedDeviceProfile&) = delete;
  ScopedDeviceProfile& operator=(const ScopedDeviceProfile&) = delete;

 private:
  platform::DeviceProfile _saved;
};

// The current profile with another main-screen scale, for the life of the object.
class ScopedScreenScale : public ScopedDeviceProfile {
 public:
  explicit ScopedScreenScale(double scale) : ScopedDeviceProfile(withScale(scale)) {}

 private:
  static platform::DeviceProfile withScale(double scale) {
    platform::DeviceProfile profile = platform::DeviceProfile::current();
    profile.scale = scale;
    return profile;
  }
};

// The main loop's clock made virtual for the life of the object: timers fire only when a test
// moves time with RunLoop::advanceBy.
class VirtualTime {
 public:
  VirtualTime() : clock(std::make_shared<platform::VirtualClock>(1000)) {
    platform::RunLoop::main().setClock(clock);
  }
  ~VirtualTime() { platform::RunLoop::main().setClock(nullptr); }
  VirtualTime(const VirtualTime&) = delete;
  VirtualTime& operator=(const VirtualTime&) = delete;
  std::shared_ptr<platform::VirtualClock> clock;
};

// Runs the main loop until `condition` holds, for at most ten seconds of real time.
template <class Condition>
bool runMainLoopUntil(Condition condition, double timeout = 10) {
  return platform::RunLoop::main().runUntil(condition, timeout);
}

// A loopback port that was free a moment ago, for a program the test starts itself (servers
// in-process bind to any port instead).
inline int freeLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

// A whole file as text; empty when it cannot be read.
inline std::string readTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes `text` as the whole file, making the folders above it first.
inline void writeTextFile(const std::string& path, const std::string& text) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::ofstream(path, std::ios::binary) << text;
}

// The largest difference between two ARGB pixels in any one channel.
inline int channelDistance(std::uint32_t a, std::uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8)
    worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return worst;
}

// Each channel of `actual` within `tolerance` of `expected`.
inline bool near(std::uint32_t actual, std::uint32_t expected, int tolerance = 3) {
  return channelDistance(actual, expected) <= tolerance;
}

}  // namespace testing_support
