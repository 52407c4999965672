#include "Network/NetworkReachability.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>

#include <fstream>
#include <mutex>
#include <sstream>

namespace platform {
namespace {

std::mutex& sourceMutex() {
  static std::mutex mutex;
  return mutex;
}

NetworkReachability::FlagsSource& flagsSource() {
  static NetworkReachability::FlagsSource source;
  return source;
}

bool isMobileInterface(const std::string& name) {
  if (name.rfind("wwan", 0) == 0 || name.rfind("ppp", 0) == 0) return true;
  std::ifstream type("/sys/class/net/" + name + "/type");
  int arphrd = 0;
  return type >> arphrd && arphrd == 512;  // ARPHRD_PPP
}

bool isInterfaceUp(const std::string& name) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool up = false;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next)
    if (name == entry->ifa_name && (entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING))
      up = true;
  freeifaddrs(list);
  return up;
}

bool isOwnAddress(in_addr address) {
  if ((ntohl(address.s_addr) >> 24) == 127) return true;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool own = false;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next)
    if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET &&
        reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr == address.s_addr)
      own = true;
  freeifaddrs(list);
  return own;
}

}  // namespace

std::shared_ptr<NetworkReachability> NetworkReachability::withAddress(in_addr address) {
  return std::shared_ptr<NetworkReachability>(new NetworkReachability(Target{address, ""}));
}

std::shared_ptr<NetworkReachability> NetworkReachability::withHostName(
    const std::string& hostName) {
  if (hostName.empty() || hostName.size() > 253) return nullptr;
  for (unsigned char c : hostName)
    if (c <= 0x20 || c == 0x7F) return nullptr;
  return std::shared_ptr<NetworkReachability>(
      new NetworkReachability(Target{std::nullopt, hostName}));
}

void NetworkReachability::setFlagsSource(FlagsSource source) {
  std::lock_guard lock(sourceMutex());
  flagsSource() = std::move(source);
}

std::optional<std::uint32_t> NetworkReachability::systemFlagsForAddress(in_addr address) {
  if (isOwnAddress(address))
    return kReachabilityReachable | kReachabilityIsLocalAddress | kReachabilityIsDirect;
  std::ifstream routes("/proc/net/route");
  if (!routes) return std::nullopt;
  std::string line;
  std::getline(routes, line);             // header
  std::uint32_t wanted = address.s_addr;  // the table is in network byte order too
  int bestPrefix = -1;
  std::uint32_t bestFlags = 0;
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string name;
    unsigned destination, gateway, routeFlags, refCount, use, metric, mask;
    if (!(fields >> name >> std::hex >> destination >> gateway >> routeFlags >> std::dec >>
          refCount >> use >> metric >> std::hex >> mask))
      continue;
    if (!(routeFlags & 0x1) || (wanted & mask) != destination) continue;  // RTF_UP
    int prefix = __builtin_popcount(mask);
    if (prefix <= bestPrefix || !isInterfaceUp(name)) continue;
    bestPrefix = prefix;
    bestFlags = kReachabilityReachable;
    if (gateway == 0) bestFlags |= kReachabilityIsDirect;
    if (isMobileInterface(name)) bestFlags |= kReachabilityIsWWAN;
  }
  return bestFlags;
}

std::optional<std::uint32_t> NetworkReachability::flags() const {
  {
    std::lock_guard lock(sourceMutex());
    if (flagsSource()) return flagsSource()(_target);
  }
  if (_target.address) return systemFlagsForAddress(*_target.address);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* results = nullptr;
  if (getaddrinfo(_target.hostName.c_str(), nullptr, &hints, &results) != 0 || !results)
    return 0u;  // a name that does not resolve cannot be reached
  in_addr address = reinterpret_cast<sockaddr_in*>(results->ai_addr)->sin_addr;
  freeaddrinfo(results);
  return systemFlagsForAddress(address);
}

}  // namespace platform
