#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/Clock.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/Value.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"
#include "UI/Compositor.h"
#include "UI/UIApplicationDelegate.h"

namespace platform {

class UIView;

// Runs the application without a display: the main run loop on a virtual clock that only the
// host moves, and pictures of the screen on request. For tests, batch work and screenshots.
class OffscreenHost {
 public:
  struct Options {
    // The image picker's camera: a GStreamer pipeline in gst-launch syntax
    // (`--camera-pipeline "videotestsrc ! video/x-raw,width=640,height=480"`) instead of a
    // capture device.
    std::optional<std::string> cameraPipeline;
  };

  // Makes `profile` the current device profile, puts a virtual clock on the main run loop and
  // names the options' camera; all are restored when the host goes.
  explicit OffscreenHost(DeviceProfile profile = DeviceProfile::phoneTall());
  OffscreenHost(DeviceProfile profile, Options options);
  ~OffscreenHost();
  OffscreenHost(const OffscreenHost&) = delete;
  OffscreenHost& operator=(const OffscreenHost&) = delete;

  // Gives the application its delegate, launches it and runs the work that launching posted.
  void launch(std::shared_ptr<UIApplicationDelegate> delegate, const Dictionary& options = {});
  // Moves the clock forward, firing timers and animation ends on the way.
  void advanceBy(double seconds);
  // The key window composited at the screen's scale as things look now; null without one.
  std::shared_ptr<Image> captureScreen();
  // captureScreen as a PNG file; false (with a console message) when it cannot be written.
  bool writeScreenshot(const std::string& path);
  // Ends the application through its lifecycle.
  void terminate();

  // Fingers on the screen, in screen points, stamped with the clock's time; each call runs the
  // work it posted. `finger` tells simultaneous fingers apart.
  void touchDown(Point location, long finger = 0);
  void touchMove(Point location, long finger = 0);
  // Lifts the finger where it last was.
  void touchUp(long finger = 0);
  void touchCancel(long finger = 0);
  // Down and up at one point, `duration` seconds apart.
  void tap(Point location, double duration = 0.05);
  // A tap on the middle of `view`, where it shows on the screen.
  void tapView(const UIView& view, double duration = 0.05);
  // Down at `from`, `steps` equal moves to `to` spread over `duration` seconds, then up unless
  // `lift` is false.
  void drag(Point from, Point to, double duration = 0.3, int steps = 10, bool lift = true,
            long finger = 0);

 private:
  DeviceProfile _savedProfile;
  std::shared_ptr<Clock> _savedClock;
  std::shared_ptr<VirtualClock> _clock;
  std::optional<std::optional<std::string>> _savedCameraPipeline;
  Compositor _compositor;
  std::map<long, Point> _fingers;
};

}  // namespace platform
