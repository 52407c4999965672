#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "GeneralTools/Reachability.h"

using namespace platform;

namespace {

// Answers the given flags for every target while alive.
class ScopedFlags {
 public:
  explicit ScopedFlags(std::optional<std::uint32_t> flags) {
    NetworkReachability::setFlagsSource(
        [flags](const NetworkReachability::Target&) { return flags; });
  }
  ~ScopedFlags() { NetworkReachability::setFlagsSource(nullptr); }
};

bool hasDefaultRoute() {
  std::ifstream routes("/proc/net/route");
  std::string line;
  std::getline(routes, line);
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string name, destination;
    if (fields >> name >> destination && destination == "00000000") return true;
  }
  return false;
}

}  // namespace

TEST(ReachabilityTest, StatusFromFlags) {
  constexpr std::uint32_t R = kReachabilityReachable, Required = kReachabilityConnectionRequired;
  EXPECT_EQ(Reachability::networkStatusForFlags(0), NotReachable);
  EXPECT_EQ(Reachability::networkStatusForFlags(kReachabilityIsWWAN), NotReachable);
  EXPECT_EQ(Reachability::networkStatusForFlags(R), ReachableViaWiFi);
  EXPECT_EQ(Reachability::networkStatusForFlags(R | kReachabilityIsWWAN), ReachableViaWWAN);
  EXPECT_EQ(Reachability::networkStatusForFlags(R | Required), NotReachable);
  EXPECT_EQ(Reachability::networkStatusForFlags(R | Required | kReachabilityConnectionOnDemand),
            ReachableViaWiFi);
  EXPECT_EQ(Reachability::networkStatusForFlags(R | Required | kReachabilityConnectionOnTraffic),
            ReachableViaWiFi);
  EXPECT_EQ(Reachability::networkStatusForFlags(R | Required | kReachabilityConnectionOnTraffic |
                                                kReachabilityInterventionRequired),
            NotReachable);
  // The mobile network wins even when a connection is required first.
  EXPECT_EQ(Reachability::networkStatusForFlags(R | Required | kReachabilityIsWWAN),
            ReachableViaWWAN);
  EXPECT_EQ(Reachability::localWiFiStatusForFlags(R | kReachabilityIsDirect), ReachableViaWiFi);
  EXPECT_EQ(Reachability::localWiFiStatusForFlags(R), NotReachable);
  EXPECT_EQ(Reachability::localWiFiStatusForFlags(kReachabilityIsDirect), NotReachable);
}

TEST(ReachabilityTest, ObjectsReadTheCurrentFlags) {
  auto internet = Reachability::reachabilityForInternetConnection();
  auto wifi = Reachability::reachabilityForLocalWiFi();
  EXPECT_FALSE(internet->localWiFiRef());
  EXPECT_TRUE(wifi->localWiFiRef());
  {
    ScopedFlags flags(kReachabilityReachable | kReachabilityIsWWAN);
    EXPECT_EQ(internet->currentReachabilityStatus(), ReachableViaWWAN);
    EXPECT_EQ(wifi->currentReachabilityStatus(), NotReachable);  // not direct
    EXPECT_FALSE(internet->connectionRequired());
  }
  {
    ScopedFlags flags(kReachabilityReachable | kReachabilityConnectionRequired);
    EXPECT_EQ(internet->currentReachabilityStatus(), NotReachable);
    EXPECT_TRUE(internet->connectionRequired());
  }
  {
    ScopedFlags flags(std::nullopt);  // unreadable
    EXPECT_EQ(internet->currentReachabilityStatus(), NotReachable);
    EXPECT_EQ(wifi->currentReachabilityStatus(), NotReachable);
    EXPECT_FALSE(internet->connectionRequired());
  }
}

TEST(ReachabilityTest, TheMachinesOwnRoutesAndAddresses) {
  sockaddr_in loopback{};
  loopback.sin_family = AF_INET;
  inet_pton(AF_INET, "127.0.0.1", &loopback.sin_addr);
  auto local = Reachability::reachabilityWithAddress(loopback);
  ASSERT_TRUE(local);
  EXPECT_EQ(local->currentReachabilityStatus(), ReachableViaWiFi);
  auto flags = NetworkReachability::systemFlagsForAddress(loopback.sin_addr);
  ASSERT_TRUE(flags);
  EXPECT_TRUE(*flags & kReachabilityIsLocalAddress);
  EXPECT_TRUE(*flags & kReachabilityIsDirect);

  auto host = Reachability::reachabilityWithHostName("localhost");
  ASSERT_TRUE(host);
  EXPECT_EQ(host->currentReachabilityStatus(), ReachableViaWiFi);

  bool routed = hasDefaultRoute();
  EXPECT_EQ(Reachability::reachabilityForInternetConnection()->currentReachabilityStatus() !=
                NotReachable,
            routed);

  EXPECT_FALSE(Reachability::reachabilityWithHostName(""));
  EXPECT_FALSE(Reachability::reachabilityWithHostName("two words"));
  sockaddr_in wrongFamily{};
  wrongFamily.sin_family = AF_INET6;
  EXPECT_FALSE(Reachability::reachabilityWithAddress(wrongFamily));
}
