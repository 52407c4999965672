#include "GeneralTools/Reachability.h"

#include <arpa/inet.h>

using platform::NetworkReachability;

namespace {

std::shared_ptr<NetworkReachability> targetFor(const char* dottedAddress) {
  in_addr address{};
  inet_pton(AF_INET, dottedAddress, &address);
  return NetworkReachability::withAddress(address);
}

}  // namespace

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection() {
  return std::shared_ptr<Reachability>(new Reachability(targetFor("0.0.0.0"), false));
}

std::shared_ptr<Reachability> Reachability::reachabilityForLocalWiFi() {
  return std::shared_ptr<Reachability>(new Reachability(targetFor("169.254.0.0"), true));
}

std::shared_ptr<Reachability> Reachability::reachabilityWithHostName(const std::string& hostName) {
  auto target = NetworkReachability::withHostName(hostName);
  if (!target) return nullptr;
  return std::shared_ptr<Reachability>(new Reachability(std::move(target), false));
}

std::shared_ptr<Reachability> Reachability::reachabilityWithAddress(const sockaddr_in& address) {
  if (address.sin_family != AF_INET) return nullptr;
  return std::shared_ptr<Reachability>(
      new Reachability(NetworkReachability::withAddress(address.sin_addr), false));
}

NetworkStatus Reachability::networkStatusForFlags(std::uint32_t flags) {
  using namespace platform;
  if (!(flags & kReachabilityReachable)) return NotReachable;
  NetworkStatus status = NotReachable;
  if (!(flags & kReachabilityConnectionRequired)) status = ReachableViaWiFi;
  if ((flags & (kReachabilityConnectionOnDemand | kReachabilityConnectionOnTraffic)) &&
      !(flags & kReachabilityInterventionRequired))
    status = ReachableViaWiFi;
  if (flags & kReachabilityIsWWAN) status = ReachableViaWWAN;
  return status;
}

NetworkStatus Reachability::localWiFiStatusForFlags(std::uint32_t flags) {
  using namespace platform;
  bool both = (flags & kReachabilityReachable) && (flags & kReachabilityIsDirect);
  return both ? ReachableViaWiFi : NotReachable;
}

NetworkStatus Reachability::currentReachabilityStatus() const {
  auto flags = _reachabilityRef->flags();
  if (!flags) return NotReachable;
  return _localWiFiRef ? localWiFiStatusForFlags(*flags) : networkStatusForFlags(*flags);
}

bool Reachability::connectionRequired() const {
  auto flags = _reachabilityRef->flags();
  return flags && (*flags & platform::kReachabilityConnectionRequired);
}
