#include "Foundation/DeviceProfile.h"

#include <sys/utsname.h>

#include <mutex>

namespace platform {
namespace {

std::mutex& profileMutex() {
  static std::mutex mutex;
  return mutex;
}

DeviceProfile& currentProfile() {
  static DeviceProfile profile = DeviceProfile::phoneTall();
  return profile;
}

}  // namespace

DeviceProfile DeviceProfile::phone35(double scale) {
  DeviceProfile profile;
  profile.name = scale >= 2 ? "phone-3.5@2x" : "phone-3.5";
  profile.screenWidth = 320;
  profile.screenHeight = 480;
  profile.scale = scale >= 2 ? 2 : 1;
  return profile;
}

DeviceProfile DeviceProfile::phoneTall() {
  DeviceProfile profile;
  profile.name = "phone-4";
  return profile;
}

DeviceProfile DeviceProfile::tablet(double scale) {
  DeviceProfile profile;
  profile.name = scale >= 2 ? "tablet@2x" : "tablet";
  profile.idiom = UserInterfaceIdiom::Pad;
  profile.screenWidth = 768;
  profile.screenHeight = 1024;
  profile.scale = scale >= 2 ? 2 : 1;
  return profile;
}

std::optional<DeviceProfile> DeviceProfile::named(const std::string& name) {
  if (name == "phone-3.5") return phone35(1);
  if (name == "phone-3.5@2x") return phone35(2);
  if (name == "phone-4") return phoneTall();
  if (name == "tablet") return tablet(1);
  if (name == "tablet@2x") return tablet(2);
  return std::nullopt;
}

DeviceProfile DeviceProfile::current() {
  std::lock_guard lock(profileMutex());
  return currentProfile();
}

void DeviceProfile::setCurrent(DeviceProfile profile) {
  std::lock_guard lock(profileMutex());
  currentProfile() = std::move(profile);
}

std::string DeviceProfile::modelString() const {
  if (hardwareModel) return *hardwareModel;
  utsname info{};
  if (uname(&info) != 0) return "";
  return info.machine;
}

}  // namespace platform
