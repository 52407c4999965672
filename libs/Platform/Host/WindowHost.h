#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/DeviceProfile.h"
#include "Foundation/Value.h"
#include "UI/UIApplicationDelegate.h"

namespace platform {

// Shows the application in a desktop window on SDL2: the composited screen, scaled down to fit
// the desktop when it is larger. The host sleeps while nothing changes: a change schedules a
// frame (at most 60 a second, and one every sixtieth of a second while animations run), which
// composites and presents only the regions that changed.
// Window focus and minimising drive the lifecycle; closing the window terminates the
// application through it. Touch screens give their fingers as they are; the mouse is one
// finger, two with Ctrl or Alt held (mirrored through the screen's centre: pinch and rotate),
// and the wheel pinches at the pointer (turns with Shift, or sideways).
class WindowHost {
 public:
  struct Options {
    std::string title = "Pictavia";
    // Window pixels per screen pixel; 0 fits the desktop (never above 1).
    double zoom = 0;
    // Closes the window by itself after this many real seconds (0: never); for smoke runs.
    double quitAfter = 0;
    // The image picker's camera: a GStreamer pipeline in gst-launch syntax
    // (`--camera-pipeline "videotestsrc ! video/x-raw,width=640,height=480"`) instead of a
    // capture device.
    std::optional<std::string> cameraPipeline;
    // Looks for changes 60 times a second and composites and presents the whole screen for any
    // of them, as the host first did: a baseline for measurements.
    bool fullFrames = false;
    // Called once, right after the first frame was presented; for start-up measurements.
    std::function<void()> firstFramePresented;
    // A PNG shown as the window's icon by the desktop; none: the desktop's default.
    std::optional<std::string> iconPath;
  };

  explicit WindowHost(DeviceProfile profile = DeviceProfile::phoneTall());
  WindowHost(DeviceProfile profile, Options options);

  // Launches the application and runs the main run loop until the window closes. Returns the
  // process's exit status: 0, or 1 when no window could be made (the reason on the console).
  int run(std::shared_ptr<UIApplicationDelegate> delegate, const Dictionary& launchOptions = {});

  // How many frames were presented by the last run, and how many of their pixels (of the
  // composited screen) were drawn again.
  long framesPresented() const { return _frames; }
  double pixelsPresented() const { return _pixels; }

 private:
  DeviceProfile _profile;
  Options _options;
  long _frames = 0;
  double _pixels = 0;
};

}  // namespace platform
