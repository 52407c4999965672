#include "UI/UIScreen.h"

#include "Foundation/DeviceProfile.h"

namespace platform {

UIScreen& UIScreen::mainScreen() {
  static UIScreen screen;
  return screen;
}

Rect UIScreen::bounds() const {
  DeviceProfile profile = DeviceProfile::current();
  return Rect(0, 0, profile.screenWidth, profile.screenHeight);
}

Rect UIScreen::applicationFrame() const {
  Rect b = bounds();
  return Rect(0, 20, b.size.width, b.size.height - 20);
}

double UIScreen::scale() const {
  return DeviceProfile::current().scale;
}

}  // namespace platform
