#include "Host/OffscreenHost.h"

#include <algorithm>
#include <cmath>

#include "Foundation/AtomicFile.h"
#include "Foundation/Console.h"
#include "Foundation/RunLoop.h"
#include "Graphics/ImageEncoder.h"
#include "UI/TouchDispatcher.h"
#include "UI/UIApplication.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIView.h"
#include "UI/UIWindow.h"

namespace platform {

OffscreenHost::OffscreenHost(DeviceProfile profile)
    : OffscreenHost(std::move(profile), Options{}) {}

OffscreenHost::OffscreenHost(DeviceProfile profile, Options options)
    : _savedProfile(DeviceProfile::current()),
      _savedClock(RunLoop::main().clock()),
      // A whole second to start from, so the rounding of the time's sums (and anything that
      // depends on it) is the same on every run; never earlier than the clock it replaces.
      _clock(std::make_shared<VirtualClock>(std::ceil(_savedClock->now()))) {
  DeviceProfile::setCurrent(std::move(profile));
  RunLoop::main().setClock(_clock);
  if (options.cameraPipeline) {
    _savedCameraPipeline = UIImagePickerController::cameraPipeline();
    UIImagePickerController::setCameraPipeline(options.cameraPipeline);
  }
}

OffscreenHost::~OffscreenHost() {
  TouchDispatcher::shared().reset();
  if (_savedCameraPipeline) UIImagePickerController::setCameraPipeline(*_savedCameraPipeline);
  RunLoop::main().setClock(_savedClock);
  DeviceProfile::setCurrent(_savedProfile);
}

void OffscreenHost::launch(std::shared_ptr<UIApplicationDelegate> delegate,
                           const Dictionary& options) {
  UIApplication& app = UIApplication::sharedApplication();
  app.setDelegate(std::move(delegate));
  app.launch(options);
  RunLoop::main().runPending();
}

void OffscreenHost::advanceBy(double seconds) {
  RunLoop::main().advanceBy(seconds);
  RunLoop::main().runPending();
}

std::shared_ptr<Image> OffscreenHost::captureScreen() {
  auto window = UIApplication::sharedApplication().keyWindow();
  if (!window) return nullptr;
  return _compositor.renderWindow(*window, DeviceProfile::current().scale, RunLoop::main().now());
}

bool OffscreenHost::writeScreenshot(const std::string& path) {
  auto image = captureScreen();
  auto png =
      image ? ImageEncoder::pngData(*image, ImageEncoder::PngCompression::Fast) : std::nullopt;
  if (!png) {
    Console::log("Offscreen host: no screen to write to " + path);
    return false;
  }
  if (!AtomicFile::write(path, *png)) {
    Console::log("Offscreen host: cannot write " + path);
    return false;
  }
  return true;
}

void OffscreenHost::touchDown(Point location, long finger) {
  _fingers[finger] = location;
  UIApplication::sharedApplication().handleHostTouch(
      HostTouch{HostTouch::Phase::Began, finger, location, RunLoop::main().now()});
  RunLoop::main().runPending();
}

void OffscreenHost::touchMove(Point location, long finger) {
  if (!_fingers.count(finger)) {
    Console::log("Offscreen host: finger " + std::to_string(finger) + " is not down");
    return;
  }
  _fingers[finger] = location;
  UIApplication::sharedApplication().handleHostTouch(
      HostTouch{HostTouch::Phase::Moved, finger, location, RunLoop::main().now()});
  RunLoop::main().runPending();
}

void OffscreenHost::touchUp(long finger) {
  auto it = _fingers.find(finger);
  if (it == _fingers.end()) {
    Console::log("Offscreen host: finger " + std::to_string(finger) + " is not down");
    return;
  }
  Point location = it->second;
  _fingers.erase(it);
  UIApplication::sharedApplication().handleHostTouch(
      HostTouch{HostTouch::Phase::Ended, finger, location, RunLoop::main().now()});
  RunLoop::main().runPending();
}

void OffscreenHost::touchCancel(long finger) {
  auto it = _fingers.find(finger);
  if (it == _fingers.end()) return;
  Point location = it->second;
  _fingers.erase(it);
  UIApplication::sharedApplication().handleHostTouch(
      HostTouch{HostTouch::Phase::Cancelled, finger, location, RunLoop::main().now()});
  RunLoop::main().runPending();
}

void OffscreenHost::tap(Point location, double duration) {
  touchDown(location);
  advanceBy(duration);
  touchUp();
}

void OffscreenHost::tapView(const UIView& view, double duration) {
  Rect b = view.bounds();
  tap(view.convertPointToView(Point{b.midX(), b.midY()}, nullptr), duration);
}

void OffscreenHost::drag(Point from, Point to, double duration, int steps, bool lift, long finger) {
  steps = std::max(1, steps);
  touchDown(from, finger);
  for (int i = 1; i <= steps; ++i) {
    advanceBy(duration / steps);
    double t = static_cast<double>(i) / steps;
    touchMove(Point{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t}, finger);
  }
  if (lift) touchUp(finger);
}

void OffscreenHost::terminate() {
  UIApplication::sharedApplication().terminate();
  RunLoop::main().runPending();
}

}  // namespace platform
