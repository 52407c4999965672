#pragma once

#include <optional>
#include <string>

#include "Foundation/DeviceProfile.h"

// A whole session of the program without a window, on the run loop's virtual clock: launch,
// the catalogue synced from the configured server, the main screen with its badges, the photo
// frames editor, a frame, a photo from the photo folder placed with a pinch and a turn, the
// preview, and saving through the share sheet. Every screen passed is written as a PNG into the
// output folder, with the saved picture; their paths go to standard output.
namespace OffscreenSession {
struct Options {
  std::optional<std::string> cameraPipeline;
  // Whether the app container was named: otherwise the session starts afresh in
  // "<directory>/container".
  bool containerNamed = false;
};
// 0 when every step happened; 1, with a message naming the step, otherwise.
int run(const platform::DeviceProfile& profile, const std::string& directory,
        const Options& options);
}  // namespace OffscreenSession
