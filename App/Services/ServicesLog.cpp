#include "Services/ServicesLog.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "Foundation/AppContainer.h"
#include "Foundation/Console.h"
#include "Foundation/FileManager.h"
#include "Foundation/JSONSerialization.h"
#include "Foundation/NotificationCenter.h"
#include "UI/UIViewController.h"

using namespace platform;

namespace {

std::string hex(const Bytes& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : bytes) {
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  return text;
}

}  // namespace

std::optional<std::string> ServicesLog::logPath() {
  auto root = AppContainer::rootPath();
  if (!root) return std::nullopt;
  return *root + "/Library/Logs/services.jsonl";
}

void ServicesLog::write(const std::string& service, const std::string& call, Dictionary arguments) {
  auto path = logPath();
  if (!path) return;
  arguments["time"] = Value(Date::now().timeIntervalSince1970);
  arguments["service"] = Value(service);
  arguments["call"] = Value(call);
  auto line = JSONSerialization::dataWithJSONObject(Value(std::move(arguments)));
  if (!line) {
    Console::logf("The %s call %s has arguments JSON cannot carry; not logged", service.c_str(),
                  call.c_str());
    return;
  }
  std::lock_guard lock(_mutex);
  std::string folder = FileManager::stringByDeletingLastPathComponent(*path);
  FileManager::createDirectoryAtPath(folder, true);
  struct stat info {};
  if (stat(path->c_str(), &info) == 0 &&
      info.st_size + static_cast<long>(line->size()) >= kMaximumLogSize)
    std::rename(path->c_str(), (*path + ".1").c_str());
  std::ofstream out(*path, std::ios::app | std::ios::binary);
  out << *line << '\n';
  if (!out) Console::logf("Cannot write the services log %s", path->c_str());
}

void ServicesLog::trackEvent(const std::string& category, const std::string& action,
                             const std::optional<std::string>& label, long value) {
  write("analytics", "event",
        {{"category", Value(category)},
         {"action", Value(action)},
         {"label", label ? Value(*label) : Value()},
         {"value", Value(static_cast<std::int64_t>(value))}});
}

void ServicesLog::trackPageview(const std::string& page) {
  write("analytics", "pageview", {{"page", Value(page)}});
}

void ServicesLog::startTracker(const std::string& accountID, double dispatchPeriod) {
  write("analytics", "start",
        {{"account", Value(accountID)}, {"dispatchPeriod", Value(dispatchPeriod)}});
}

void ServicesLog::connectOfferWall(const std::string& appID, const std::string& secretKey) {
  write("offerwall", "connect", {{"appID", Value(appID)}, {"secretKey", Value(secretKey)}});
  NotificationCenter::defaultCenter().postNotification("TJC_Connect_Success");
}

void ServicesLog::showOffersWithViewController(const UIViewController& screen) {
  write("offerwall", "show", {{"screen", Value(screen.className())}});
}

void ServicesLog::startInterstitials(const std::string& appID, const std::string& signature) {
  write("interstitials", "start", {{"appID", Value(appID)}, {"signature", Value(signature)}});
}

void ServicesLog::showInterstitial() {
  write("interstitials", "show", {});
}

void ServicesLog::startAttribution(const std::vector<long long>& identifiers) {
  Array ids;
  for (long long id : identifiers) ids.emplace_back(static_cast<std::int64_t>(id));
  write("attribution", "start", {{"identifiers", Value(std::move(ids))}});
}

void ServicesLog::takeOffPush(const Dictionary& options) {
  write("push", "takeOff", {{"options", Value(options)}});
}

void ServicesLog::registerForRemoteNotificationTypes(int types) {
  write("push", "register", {{"types", Value(static_cast<std::int64_t>(types))}});
}

void ServicesLog::registerDeviceToken(const Bytes& token) {
  write("push", "deviceToken", {{"token", Value(hex(token))}});
}

void ServicesLog::landPush() {
  write("push", "land", {});
}
