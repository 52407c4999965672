#pragma once

#include <optional>
#include <string>

namespace platform {

enum class UserInterfaceIdiom { Phone = 0, Pad = 1 };

// What the program pretends to run on: the answers the phone's device, screen and system
// queries would give. One current profile per process, chosen by the host (or a test).
struct DeviceProfile {
  std::string name;
  // A phone model string such as "iPhone5,1"; none means the machine's own ("uname -m").
  std::optional<std::string> hardwareModel;
  UserInterfaceIdiom idiom = UserInterfaceIdiom::Phone;
  double screenWidth = 320;  // points, portrait
  double screenHeight = 568;
  double scale = 2;
  std::string systemVersion = "6.1";
  // The network interface whose hardware address identifies the device; none means the
  // interface of the default route.
  std::optional<std::string> primaryInterface;

  // The 3.5-inch phone (320x480 points) at scale 1 or 2.
  static DeviceProfile phone35(double scale);
  // The tall 4-inch phone (320x568 points at scale 2): the default.
  static DeviceProfile phoneTall();
  // The tablet (768x1024 points) at scale 1 or 2.
  static DeviceProfile tablet(double scale = 1);
  // By host-option name: "phone-3.5", "phone-3.5@2x", "phone-4" (tall), "tablet",
  // "tablet@2x"; nothing for another name.
  static std::optional<DeviceProfile> named(const std::string& name);

  static DeviceProfile current();
  static void setCurrent(DeviceProfile profile);

  // The model string the system reports: `hardwareModel`, else the machine's architecture.
  std::string modelString() const;
};

}  // namespace platform
