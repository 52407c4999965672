#include "Network/NetworkReachability.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>

#include <fstream>
#include <mutex>
#include <set>

#include "Network/RoutingTable.h"

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

// What the flags need to know of the machine's interfaces, read once per question.
struct Interfaces {
  std::set<std::string> running;
  std::set<std::uint32_t> ownAddresses;  // network byte order
};

std::optional<Interfaces> readInterfaces() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::nullopt;
  Interfaces interfaces;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if ((entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING))
      interfaces.running.insert(entry->ifa_name);
    if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET)
      interfaces.ownAddresses.insert(
          reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
  }
  freeifaddrs(list);
  return interfaces;
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
  constexpr std::uint32_t kLocal =
      kReachabilityReachable | kReachabilityIsLocalAddress | kReachabilityIsDirect;
  if ((ntohl(address.s_addr) >> 24) == 127) return kLocal;
  auto interfaces = readInterfaces();
  auto routes = RoutingTable::ipv4Routes();
  if (!interfaces || !routes) return std::nullopt;
  if (interfaces->ownAddresses.count(address.s_addr)) return kLocal;
  int bestPrefix = -1;
  std::uint32_t bestFlags = 0;
  for (const RoutingTable::Route& route : *routes) {
    if (!route.isUp() || (address.s_addr & route.mask) != route.destination) continue;
    int prefix = __builtin_popcount(route.mask);
    if (prefix <= bestPrefix || !interfaces->running.count(route.interfaceName)) continue;
    bestPrefix = prefix;
    bestFlags = kReachabilityReachable;
    if (route.gateway == 0) bestFlags |= kReachabilityIsDirect;
    if (isMobileInterface(route.interfaceName)) bestFlags |= kReachabilityIsWWAN;
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
