#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "GeneralTools/VendorServices.h"

// The vendor services of the desktop build: every call becomes one JSON line in
// "Library/Logs/services.jsonl" of the app container ({"time", "service", "call", ...the
// arguments}), so what the vendors would have been told can be read and tested. The log starts
// afresh past 1 MiB, the previous one kept as "services.jsonl.1". Connecting the offer wall
// always succeeds, as there is no vendor to refuse it.
class ServicesLog : public VendorServices {
 public:
  static constexpr long kMaximumLogSize = 1 << 20;

  // The log's path in the current app container; none without a container.
  static std::optional<std::string> logPath();

  void trackEvent(const std::string& category, const std::string& action,
                  const std::optional<std::string>& label, long value) override;
  void trackPageview(const std::string& page) override;
  void startTracker(const std::string& accountID, double dispatchPeriod) override;
  void connectOfferWall(const std::string& appID, const std::string& secretKey) override;
  void showOffersWithViewController(const platform::UIViewController& screen) override;
  void startInterstitials(const std::string& appID, const std::string& signature) override;
  void showInterstitial() override;
  void startAttribution(const std::vector<long long>& identifiers) override;
  void takeOffPush(const platform::Dictionary& options) override;
  void registerForRemoteNotificationTypes(int types) override;
  void registerDeviceToken(const platform::Bytes& token) override;
  void landPush() override;

 private:
  void write(const std::string& service, const std::string& call, platform::Dictionary arguments);

  std::mutex _mutex;
};
