#pragma once

#include <string>
#include <vector>

#include "Foundation/DesktopLauncher.h"

namespace platform::testing {

// Takes the launcher's place for the life of the object: command lines are written down and
// nothing is started. `starts` is what each launch answers.
class LaunchRecorder {
 public:
  explicit LaunchRecorder(bool starts = true) : starts(starts) {
    _previous = DesktopLauncher::setHook([this](const DesktopLauncher::Arguments& argv) {
      launches.push_back(argv);
      return this->starts;
    });
  }
  ~LaunchRecorder() { DesktopLauncher::setHook(std::move(_previous)); }
  LaunchRecorder(const LaunchRecorder&) = delete;
  LaunchRecorder& operator=(const LaunchRecorder&) = delete;

  bool starts;
  std::vector<DesktopLauncher::Arguments> launches;

 private:
  DesktopLauncher::Hook _previous;
};

}  // namespace platform::testing
