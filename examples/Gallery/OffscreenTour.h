#pragma once

#include <optional>
#include <string>

#include "Foundation/DeviceProfile.h"

// Shows every page of the gallery without a display, works the interactive pages with
// synthesized touches, checks what each one did, and writes "N-name.png" screenshots into
// `directory`. Returns the process's exit status: 0, or 1 when a page failed to build, a check
// failed (each one told on the standard error) or a screenshot could not be written. With a
// camera pipeline, the picker page also takes a picture with the camera.
namespace OffscreenTour {
int run(const platform::DeviceProfile& profile, const std::string& directory,
        const std::optional<std::string>& cameraPipeline = std::nullopt);
}  // namespace OffscreenTour
