#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "GeneralTools/Reachability.h"

using namespace platform;

TEST(ReachabilityTest, StatusFromFlags) {
  constexpr std::uint32_t R = kReachabilityReachable, Req = kReachabilityConnectionRequired;
  const std::pair<std::uint32_t, NetworkStatus> cases[] = {
      {kReachabilityIsWWAN, NotReachable},
      {R | Req, NotReachable},
      {R | Req | kReachabilityConnectionOnDemand, ReachableViaWiFi},
      {R | Req | kReachabilityConnectionOnTraffic | kReachabilityInterventionRequired,
       NotReachable},
      {R | Req | kReachabilityIsWWAN, ReachableViaWWAN}};  // the mobile network wins
  for (auto [flags, status] : cases)
    EXPECT_EQ(Reachability::networkStatusForFlags(flags), status) << flags;
  EXPECT_EQ(Reachability::localWiFiStatusForFlags(R | kReachabilityIsDirect), ReachableViaWiFi);
  EXPECT_EQ(Reachability::localWiFiStatusForFlags(R), NotReachable);

  // Objects read the current flags; unreadable flags mean no network.
  auto internet = Reachability::reachabilityForInternetConnection();
  auto wifi = Reachability::reachabilityForLocalWiFi();
  NetworkReachability::setFlagsSource(
      [](const NetworkReachability::Target&) -> std::optional<std::uint32_t> { return R | Req; });
  EXPECT_EQ(internet->currentReachabilityStatus(), NotReachable);
  EXPECT_TRUE(internet->connectionRequired());
  EXPECT_EQ(wifi->currentReachabilityStatus(), NotReachable);  // not direct
  NetworkReachability::setFlagsSource(
      [](const NetworkReachability::Target&) { return std::nullopt; });
  EXPECT_EQ(internet->currentReachabilityStatus(), NotReachable);
  EXPECT_FALSE(internet->connectionRequired());
  NetworkReachability::setFlagsSource(nullptr);
}

TEST(ReachabilityTest, TheMachinesOwnRoutesAndAddresses) {
  sockaddr_in loopback{};
  loopback.sin_family = AF_INET;
  inet_pton(AF_INET, "127.0.0.1", &loopback.sin_addr);
  EXPECT_EQ(Reachability::reachabilityWithAddress(loopback)->currentReachabilityStatus(),
            ReachableViaWiFi);
  auto flags = NetworkReachability::systemFlagsForAddress(loopback.sin_addr);
  ASSERT_TRUE(flags);
  EXPECT_TRUE(*flags & kReachabilityIsLocalAddress);
  EXPECT_TRUE(*flags & kReachabilityIsDirect);
  EXPECT_EQ(Reachability::reachabilityWithHostName("localhost")->currentReachabilityStatus(),
            ReachableViaWiFi);

  EXPECT_FALSE(Reachability::reachabilityWithHostName(""));
  EXPECT_FALSE(Reachability::reachabilityWithHostName("two words"));
  sockaddr_in wrongFamily{};
  wrongFamily.sin_family = AF_INET6;
  EXPECT_FALSE(Reachability::reachabilityWithAddress(wrongFamily));
}
