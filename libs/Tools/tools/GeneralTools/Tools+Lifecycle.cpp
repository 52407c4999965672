#include <algorithm>
#include <cctype>
#include <thread>

#include "Dispatch/MainThread.h"
#include "Foundation/Console.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/NotificationCenter.h"
#include "GeneralTools/AdsManager.h"
#include "GeneralTools/AdsReporter.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/DeviceIdentifier.h"
#include "GeneralTools/MD5Additions.h"
#include "GeneralTools/Tools.h"
#include "Network/URLConnection.h"

using platform::Value;

namespace {

constexpr const char* kRunCountKey = "AppLaunchCount";
constexpr const char* kActiveCountKey = "AppActiveCount";
constexpr const char* kLastActiveDateKey = "LastActiveDate";
constexpr const char* kAppVersionKey = "AppVersion";
constexpr const char* kAppOpenKey = "AdmobAppOpen";

long storedCount(const char* key) {
  return static_cast<long>(
      platform::valueForKey(DataSource::data(), key).integerValue().value_or(0));
}

}  // namespace

void Tools::setVendorServices(std::shared_ptr<VendorServices> services) {
  _services = services;
  _tracker = std::move(services);
}

long Tools::runCount() const {
  return storedCount(kRunCountKey);
}

void Tools::increaseRunCount() {
  DataSource::data()[kRunCountKey] = Value(static_cast<std::int64_t>(runCount() + 1));
}

long Tools::appActiveCount() const {
  return storedCount(kActiveCountKey);
}

void Tools::increaseAppActiveCount() {
  DataSource::data()[kActiveCountKey] = Value(static_cast<std::int64_t>(appActiveCount() + 1));
  DataSource::data()[kLastActiveDateKey] = Value(platform::Date::now());
}

std::optional<platform::Date> Tools::lastActiveDate() const {
  return platform::valueForKey(DataSource::data(), kLastActiveDateKey).dateValue();
}

void Tools::updateVersionData() {
  std::string version = appVersion();
  const Value& old = platform::valueForKey(DataSource::data(), kAppVersionKey);
  _oldAppVersion = old.string() ? std::optional<std::string>(*old.string()) : std::nullopt;
  if (!version.empty())
    DataSource::data()[kAppVersionKey] = Value(version);
  else
    DataSource::data().erase(kAppVersionKey);
}

std::string Tools::launchLabel() const {
  // The desktop has no modified-system state, so the label never carries "-JB".
  return platformExpanded() + "-" + platform::DeviceProfile::current().systemVersion;
}

std::optional<std::string> Tools::hashedISU() const {
  std::string identifier = DeviceIdentifier::uniqueDeviceIdentifier();
  auto digest = MD5Additions::stringFromMD5(identifier);
  if (!digest) return std::nullopt;
  std::transform(digest->begin(), digest->end(), digest->begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return digest;
}

void Tools::appStart() {
  if (_services)
    _services->startTracker(_configuration.analyticsAccountID,
                            _configuration.analyticsDispatchPeriod);
  // The offer wall's outcome needs no answer; listening keeps its notifications accounted for.
  auto& center = platform::NotificationCenter::defaultCenter();
  center.removeObserver(this, "TJC_Connect_Success", nullptr);
  center.removeObserver(this, "TJC_Connect_Failed", nullptr);
  center.addObserver(this, "TJC_Connect_Success", nullptr, [](const platform::Notification&) {});
  center.addObserver(this, "TJC_Connect_Failed", nullptr, [](const platform::Notification&) {});
  if (_services)
    _services->connectOfferWall(_configuration.offerWallAppID, _configuration.offerWallSecretKey);

  std::string label = launchLabel();
  sysEventHappened(runCount() == 0 ? "FirstLaunch" : "AppLaunch", label, 0);
  updateVersionData();
  if (std::string version = appVersion();
      _oldAppVersion && !version.empty() && *_oldAppVersion != version)
    sysEventHappened("Update from " + *_oldAppVersion + " to " + version, "", 0);
  increaseRunCount();
  increaseAppActiveCount();
  if (runCount() == 1) AdsReporter::reportFirstStart();
  AdsManager::Instance().updateData();
  reportAppOpenToAdMob();
  if (_services) {
    _services->startInterstitials(_configuration.interstitialAppID,
                                  _configuration.interstitialSignature);
    _services->showInterstitial();
  }
  DataSource::source().saveData();
}

void Tools::appGoToBackgound() {
  DataSource::source().saveData();
  sysEventHappened("AppBackground", "", 0);
}

void Tools::appGoToForeground() {
  increaseAppActiveCount();
  AdsManager::Instance().updateData();
  sysEventHappened("AppForeground", "", 0);
}

void Tools::appTerminate() {
  DataSource::source().saveData();
  sysEventHappened("AppTerminate", "", 0);
}

void Tools::reportAppOpenToAdMob(std::function<void(bool stored)> finished) {
  // The settings store belongs to the main thread: it is read here and written back there.
  const Value& done = platform::valueForKey(DataSource::data(), kAppOpenKey);
  if (done.string() && *done.string() == "YES") return;
  auto isu = hashedISU();
  if (_configuration.appOpenReportBaseURL.empty() || !isu) return;
  std::string url = _configuration.appOpenReportBaseURL + "f0?isu=" + *isu +
                    "&md5=1&app_id=" + _configuration.storeAppID;
  std::thread([url = std::move(url), finished = std::move(finished)]() mutable {
    platform::URLResponse response;
    platform::URLError error;
    auto body = platform::URLConnection::sendSynchronousRequest(
        platform::URLRequest(url, platform::URLRequestCachePolicy::ReloadIgnoringLocalCacheData),
        &response, &error);
    bool accepted = body && response.statusCode == 200 && !body->empty();
    if (!accepted)
      platform::Console::logf(
          "The app-open report was not taken (status %d); it is sent again "
          "at the next launch",
          response.statusCode);
    platform::runOnMainThreadAsync([accepted, finished = std::move(finished)] {
      if (accepted) DataSource::data()[kAppOpenKey] = Value(std::string("YES"));
      if (finished) finished(accepted);
    });
  }).detach();
}
