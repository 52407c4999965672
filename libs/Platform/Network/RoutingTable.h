#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The kernel's IPv4 routing table (/proc/net/route). Addresses and masks are in network byte
// order, as the kernel writes them.
class RoutingTable {
 public:
  struct Route {
    std::string interfaceName;
    std::uint32_t destination = 0;
    std::uint32_t gateway = 0;
    std::uint32_t flags = 0;
    std::uint32_t mask = 0;
    bool isUp() const { return flags & 0x1; }  // RTF_UP
    bool isDefault() const { return destination == 0 && mask == 0; }
  };

  // Nothing when the table cannot be read.
  static std::optional<std::vector<Route>> ipv4Routes();
  // The interface of the first default route.
  static std::optional<std::string> defaultRouteInterface();
};

}  // namespace platform
