#include "GeneralTools/DeviceIdentifier.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>

#include <cstdio>

#include "Foundation/Bundle.h"
#include "Foundation/Console.h"
#include "Foundation/DeviceProfile.h"
#include "GeneralTools/MD5Additions.h"
#include "Network/RoutingTable.h"

using platform::Console;

namespace DeviceIdentifier {
namespace {

// The platform's text for a missing value, as it appears inside formatted strings.
constexpr const char* kMissingValueText = "(null)";

bool hasHardwareAddress(const sockaddr_ll& link) {
  if (link.sll_halen != 6) return false;
  for (int i = 0; i < 6; ++i)
    if (link.sll_addr[i] != 0) return true;
  return false;
}

std::optional<std::string> firstInterfaceWithAddress() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::nullopt;
  std::optional<std::string> found;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET) continue;
    if (entry->ifa_flags & IFF_LOOPBACK) continue;
    auto link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
    if (hasHardwareAddress(*link) && (!found || *found > entry->ifa_name)) found = entry->ifa_name;
  }
  freeifaddrs(list);
  return found;
}

std::string primaryInterfaceName() {
  if (auto chosen = platform::DeviceProfile::current().primaryInterface) return *chosen;
  if (auto route = platform::RoutingTable::defaultRouteInterface()) return *route;
  if (auto any = firstInterfaceWithAddress()) return *any;
  return "en0";
}

}  // namespace

std::optional<std::string> macaddress() {
  std::string name = primaryInterfaceName();
  unsigned index = if_nametoindex(name.c_str());
  if (index == 0) {
    Console::log("Error: if_nametoindex error");
    return std::nullopt;
  }
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) {
    Console::log("Error: sysctl, take 1");
    return std::nullopt;
  }
  std::optional<std::string> address;
  for (ifaddrs* entry = list; entry && !address; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET) continue;
    auto link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
    if (static_cast<unsigned>(link->sll_ifindex) != index || link->sll_halen != 6) continue;
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", link->sll_addr[0],
                  link->sll_addr[1], link->sll_addr[2], link->sll_addr[3], link->sll_addr[4],
                  link->sll_addr[5]);
    address = text;
  }
  freeifaddrs(list);
  if (!address) Console::log("Error: sysctl, take 2");
  return address;
}

std::string uniqueDeviceIdentifier() {
  std::string source = macaddress().value_or(kMissingValueText);
  source += platform::Bundle::mainBundle()->bundleIdentifier().value_or(kMissingValueText);
  return *MD5Additions::stringFromMD5(source);  // never empty, so always a digest
}

std::optional<std::string> uniqueGlobalDeviceIdentifier() {
  auto address = macaddress();
  if (!address) return std::nullopt;
  return MD5Additions::stringFromMD5(*address);
}

}  // namespace DeviceIdentifier
