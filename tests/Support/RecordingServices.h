#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "GeneralTools/VendorServices.h"
#include "UI/UIViewController.h"

// Writes down every call, one line each.
class RecordingServices : public VendorServices {
 public:
  void trackEvent(const std::string& category, const std::string& action,
                  const std::optional<std::string>& label, long value) override {
    calls.push_back("event " + category + "|" + action + "|" + label.value_or("(none)") + "|" +
                    std::to_string(value));
  }
  void trackPageview(const std::string& page) override { calls.push_back("page " + page); }
  void startTracker(const std::string& account, double period) override {
    calls.push_back("tracker " + account + " " + std::to_string(static_cast<int>(period)));
  }
  void connectOfferWall(const std::string& id, const std::string& key) override {
    calls.push_back("offerwall " + id + " " + key);
  }
  void showOffersWithViewController(const platform::UIViewController& screen) override {
    calls.push_back("show offerwall over " + screen.className());
  }
  void startInterstitials(const std::string& id, const std::string& signature) override {
    calls.push_back("interstitials " + id + " " + signature);
  }
  void showInterstitial() override { calls.push_back("show interstitial"); }
  void startAttribution(const std::vector<long long>&) override { calls.push_back("attribution"); }
  void takeOffPush(const platform::Dictionary&) override { calls.push_back("push takeoff"); }
  void registerForRemoteNotificationTypes(int types) override {
    calls.push_back("push register " + std::to_string(types));
  }
  void registerDeviceToken(const platform::Bytes&) override { calls.push_back("push token"); }
  void landPush() override { calls.push_back("push land"); }
  std::vector<std::string> take() { return std::exchange(calls, {}); }
  std::vector<std::string> calls;
};
