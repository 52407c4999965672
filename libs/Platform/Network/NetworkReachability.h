#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Reachability flag bits, numbered as the phone's system numbers them.
enum ReachabilityFlag : std::uint32_t {
  kReachabilityTransientConnection = 1u << 0,
  kReachabilityReachable = 1u << 1,
  kReachabilityConnectionRequired = 1u << 2,
  kReachabilityConnectionOnTraffic = 1u << 3,
  kReachabilityInterventionRequired = 1u << 4,
  kReachabilityConnectionOnDemand = 1u << 5,
  kReachabilityIsLocalAddress = 1u << 16,
  kReachabilityIsDirect = 1u << 17,
  kReachabilityIsWWAN = 1u << 18,
};

// Whether an IPv4 address or a host name can be reached, answered from the kernel's routing
// table and interfaces: reachable when a route leads to it through an interface that is up,
// direct when that route needs no gateway, WWAN when the interface is a mobile-network one
// (PPP or "wwan"), local for the machine's own addresses.
class NetworkReachability {
 public:
  struct Target {
    std::optional<in_addr> address;  // network byte order
    std::string hostName;
  };
  // Replaces the system as the source of flags (nothing: back to the system). For tests.
  using FlagsSource = std::function<std::optional<std::uint32_t>(const Target&)>;

  static std::shared_ptr<NetworkReachability> withAddress(in_addr address);
  // Null for a name that cannot be a host name (empty, or with blanks or control characters).
  static std::shared_ptr<NetworkReachability> withHostName(const std::string& hostName);
  static void setFlagsSource(FlagsSource source);

  // The current flags; nothing when they cannot be read. A host name is resolved on the calling
  // thread (a blocking look-up): ask from a background thread when that matters.
  std::optional<std::uint32_t> flags() const;
  const Target& target() const { return _target; }

  // The flags for an address from the system's routes and interfaces.
  static std::optional<std::uint32_t> systemFlagsForAddress(in_addr address);

 private:
  explicit NetworkReachability(Target target) : _target(std::move(target)) {}
  Target _target;
};

}  // namespace platform
