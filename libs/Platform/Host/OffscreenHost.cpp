#include "Host/OffscreenHost.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/Console.h"
#include "Foundation/RunLoop.h"
#include "Graphics/ImageEncoder.h"
#include "UI/UIApplication.h"
#include "UI/UIWindow.h"

namespace platform {

OffscreenHost::OffscreenHost(DeviceProfile profile)
    : _savedProfile(DeviceProfile::current()),
      _savedClock(RunLoop::main().clock()),
      _clock(std::make_shared<VirtualClock>(_savedClock->now())) {
  DeviceProfile::setCurrent(std::move(profile));
  RunLoop::main().setClock(_clock);
}

OffscreenHost::~OffscreenHost() {
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
  auto png = image ? ImageEncoder::pngData(*image) : std::nullopt;
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

void OffscreenHost::terminate() {
  UIApplication::sharedApplication().terminate();
  RunLoop::main().runPending();
}

}  // namespace platform
