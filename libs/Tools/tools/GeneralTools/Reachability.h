#pragma once

#include <memory>
#include <string>

#include "Network/NetworkReachability.h"

enum NetworkStatus { NotReachable = 0, ReachableViaWiFi = 1, ReachableViaWWAN = 2 };

// Whether the internet, the local Wi-Fi network, a host or an address can be reached.
class Reachability {
 public:
  // The general internet route (the zero address).
  static std::shared_ptr<Reachability> reachabilityForInternetConnection();
  // The link-local network 169.254.0.0.
  static std::shared_ptr<Reachability> reachabilityForLocalWiFi();
  // Null when the system cannot make a target of the name or address.
  static std::shared_ptr<Reachability> reachabilityWithHostName(const std::string& hostName);
  static std::shared_ptr<Reachability> reachabilityWithAddress(const sockaddr_in& address);

  // From the current flags; NotReachable when they cannot be read.
  NetworkStatus currentReachabilityStatus() const;
  bool connectionRequired() const;
  bool localWiFiRef() const { return _localWiFiRef; }

  // The status the flags mean for a general (not local Wi-Fi) target.
  static NetworkStatus networkStatusForFlags(std::uint32_t flags);
  static NetworkStatus localWiFiStatusForFlags(std::uint32_t flags);

 private:
  Reachability(std::shared_ptr<platform::NetworkReachability> target, bool localWiFi)
      : _reachabilityRef(std::move(target)), _localWiFiRef(localWiFi) {}

  std::shared_ptr<platform::NetworkReachability> _reachabilityRef;
  bool _localWiFiRef;
};
