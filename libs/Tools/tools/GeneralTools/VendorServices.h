#pragma once

#include <string>
#include <vector>

#include "Foundation/Value.h"
#include "GeneralTools/AnalyticsTracker.h"

namespace platform {
class UIViewController;
}

// The vendors' services the application calls: the analytics tracker, the offer wall, the
// interstitial ads, install attribution and push registration. The application installs one
// backend at launch; the calls carry exactly what the vendors would be given.
class VendorServices : public AnalyticsTracker {
 public:
  // Analytics: sends what was tracked every `dispatchPeriod` seconds.
  virtual void startTracker(const std::string& accountID, double dispatchPeriod) = 0;
  // Offer wall. The outcome of connecting is posted as "TJC_Connect_Success" or
  // "TJC_Connect_Failed".
  virtual void connectOfferWall(const std::string& appID, const std::string& secretKey) = 0;
  // Shows the offer wall over `screen`.
  virtual void showOffersWithViewController(const platform::UIViewController& screen) = 0;
  // Interstitial ads: starts the session and asks for one to show.
  virtual void startInterstitials(const std::string& appID, const std::string& signature) = 0;
  virtual void showInterstitial() = 0;
  // Install attribution with the account's numeric identifiers (the store's first).
  virtual void startAttribution(const std::vector<long long>& identifiers) = 0;
  // Push: take-off with the launch options, registration for the notification types (a mask of
  // badge 1, sound 2, alert 4), the device token once the system gives it, landing at the end.
  virtual void takeOffPush(const platform::Dictionary& options) = 0;
  virtual void registerForRemoteNotificationTypes(int types) = 0;
  virtual void registerDeviceToken(const platform::Bytes& token) = 0;
  virtual void landPush() = 0;
};
