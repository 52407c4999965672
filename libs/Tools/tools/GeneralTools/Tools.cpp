#include "GeneralTools/Tools.h"

#include <curl/curl.h>
#include <strings.h>
#include <sys/xattr.h>

#include <map>
#include <memory>
#include <vector>

#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageDecoder.h"
#include "UI/UINavigationController.h"
#include "UI/ViewControllerRegistry.h"

using platform::DeviceProfile;

namespace {

std::vector<long long> versionParts(std::string_view text) {
  std::vector<long long> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t dot = text.find('.', start);
    std::string_view part =
        text.substr(start, dot == std::string_view::npos ? text.npos : dot - start);
    long long number = 0;
    for (char c : part) {
      if (c < '0' || c > '9') break;  // "4b2" counts as 4, like a numeric comparison
      if (number < 1'000'000'000'000LL) number = number * 10 + (c - '0');
    }
    parts.push_back(number);
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return parts;
}

// A file URL's local path with its percent escapes undone, read by libcurl's URL parser;
// anything that does not start with "file:" is taken as a path. Spaces are let through as
// written; a file URL that names another host, or whose path decodes to a NUL byte, gives
// nothing.
std::string pathFromURL(const std::string& url) {
  if (url.size() < 5 || strncasecmp(url.c_str(), "file:", 5) != 0) return url;
  std::unique_ptr<CURLU, void (*)(CURLU*)> parsed(curl_url(), curl_url_cleanup);
  char* path = nullptr;
  if (!parsed ||
      curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), CURLU_ALLOW_SPACE) != CURLUE_OK ||
      curl_url_get(parsed.get(), CURLUPART_PATH, &path, CURLU_URLDECODE) != CURLUE_OK)
    return {};
  std::string result(path);
  curl_free(path);
  return result;
}

}  // namespace

std::string Tools::platform() {
  return DeviceProfile::current().modelString();
}

std::string Tools::model() {
  DeviceProfile profile = DeviceProfile::current();
  if (profile.idiom == platform::UserInterfaceIdiom::Pad) return "iPad";
  if (profile.modelString().starts_with("iPod")) return "iPod touch";
  return "iPhone";
}

std::string Tools::systemVersion() {
  return DeviceProfile::current().systemVersion;
}

std::string Tools::appID() {
  return platform::Bundle::mainBundle()->bundleIdentifier().value_or("");
}

std::string Tools::appName() {
  const std::string* name =
      platform::Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleName").string();
  return name ? *name : std::string();
}

std::string Tools::appVersion() {
  const std::string* version =
      platform::Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleVersion").string();
  return version ? *version : std::string();
}

std::string Tools::platformExpanded() {
  return platformExpanded(platform());
}

std::string Tools::platformExpanded(std::string_view model) {
  static const std::map<std::string_view, std::string_view> kNames = {
      {"iPhone1,1", "iPhone 1G"},
      {"iPhone1,2", "iPhone 3G"},
      {"iPhone2,1", "iPhone 3GS"},
      {"iPhone3,1", "iPhone 4"},
      {"iPhone3,3", "Verizon iPhone 4"},
      {"iPhone4,1", "iPhone 4S"},
      {"iPhone5,1", "iPhone 5 GSM"},
      {"iPhone5,2", "iPhone 5 (CDMA)"},
      {"iPod1,1", "iPod Touch 1G"},
      {"iPod2,1", "iPod Touch 2G"},
      {"iPod3,1", "iPod Touch 3G"},
      {"iPod4,1", "iPod Touch 4G"},
      {"iPod5,1", "iPod Touch 5G"},
      {"iPad1,1", "iPad"},
      {"iPad2,1", "iPad 2 (WiFi)"},
      {"iPad2,2", "iPad 2 (GSM)"},
      {"iPad2,3", "iPad 2 (CDMA)"},
      {"iPad3,1", "iPad-3G (WiFi)"},
      {"iPad3,2", "iPad-3G (4G)"},
      {"iPad3,3", "iPad-3G (4G)"},
      {"i386", "Simulator"},
      {"x86_64", "Simulator"},
  };
  auto it = kNames.find(model);
  return std::string(it == kNames.end() ? model : it->second);
}

bool Tools::isIPad() {
  return DeviceProfile::current().idiom == platform::UserInterfaceIdiom::Pad;
}

bool Tools::isIPhone5Screen() {
  DeviceProfile profile = DeviceProfile::current();
  return profile.idiom == platform::UserInterfaceIdiom::Phone && profile.scale == 2.0 &&
         profile.screenHeight == 568.0;
}

int Tools::compareVersions(std::string_view left, std::string_view right) {
  std::vector<long long> a = versionParts(left), b = versionParts(right);
  size_t count = std::max(a.size(), b.size());
  a.resize(count, 0);
  b.resize(count, 0);
  for (size_t i = 0; i < count; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

bool Tools::isSystemVersionGreaterThanOrEqualTo(std::string_view version) {
  return compareVersions(DeviceProfile::current().systemVersion, version) >= 0;
}

bool Tools::addMobileBackupAttributeToItemAtURL(const std::string& url) {
  std::string path = pathFromURL(url);
  if (path.empty()) return false;
  const unsigned char value = 1;
  return setxattr(path.c_str(), kMobileBackupAttributeName, &value, sizeof value, 0) == 0;
}

Tools::Tools() : _defaultBundle(platform::Bundle::mainBundle()) {}

std::shared_ptr<platform::UIViewController> Tools::loadViewControllerNamed(const std::string& name,
                                                                           bool useDefaultBundle) {
  auto bundle = useDefaultBundle ? Instance().defaultBundle() : platform::Bundle::mainBundle();
  return platform::ViewControllerRegistry::create(name, std::nullopt, std::move(bundle));
}

std::shared_ptr<platform::UINavigationController>
Tools::loadToNavigationControlerViewControllerNamed(const std::string& name) {
  auto root = loadViewControllerNamed(name);
  if (!root) return nullptr;
  return std::make_shared<platform::UINavigationController>(std::move(root));
}

Tools& Tools::Instance() {
  static Tools* instance = new Tools();  // lives until the process ends
  return *instance;
}

std::shared_ptr<platform::Image> Tools::hiresImageNamed(
    std::string_view name, const std::shared_ptr<platform::Bundle>& bundle) {
  if (!bundle || name.empty()) return nullptr;
  DeviceProfile profile = DeviceProfile::current();
  if (profile.idiom == platform::UserInterfaceIdiom::Phone && profile.scale == 2.0) {
    size_t dot = name.rfind('.');
    std::string base(name.substr(0, dot));
    std::string extension = dot == std::string_view::npos ? "" : std::string(name.substr(dot + 1));
    if (auto path = bundle->pathForResource(base + "@2x", extension))
      if (auto image = platform::ImageDecoder::imageWithContentsOfFile(*path, 2)) return image;
  }
  auto path = bundle->pathForResource(name, "");
  return path ? platform::ImageDecoder::imageWithContentsOfFile(*path, 1) : nullptr;
}

std::shared_ptr<platform::Image> Tools::hiresImageNamed(std::string_view name,
                                                        bool useDefaultBundle) {
  return hiresImageNamed(
      name, useDefaultBundle ? Instance().defaultBundle() : platform::Bundle::mainBundle());
}

void Tools::eventHappened(const std::string& action, const std::optional<std::string>& label,
                          long value) {
  if (_tracker) _tracker->trackEvent(_visibleItem, action, label, value);
}

void Tools::sysEventHappened(const std::string& action, const std::optional<std::string>& label,
                             long value) {
  if (_tracker) _tracker->trackEvent("SystemEvent", action, label, value);
}

void Tools::itemAppear(const platform::UIViewController& screen) {
  _visibleItem = screen.className();
  if (_tracker) _tracker->trackPageview("/" + _visibleItem);
}

void Tools::itemDisappear(const platform::UIViewController& screen) {
  if (_visibleItem == screen.className()) _visibleItem.clear();
}

std::string Tools::replacingOccurrences(std::string text, std::string_view placeholder,
                                        std::string_view value) {
  if (placeholder.empty()) return text;
  for (size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size()))
    text.replace(at, placeholder.size(), value);
  return text;
}

std::string Tools::expandTemplateParams(std::string_view text) const {
  std::string expanded = replacingOccurrences(std::string(text), "%appname%", appName());
  return replacingOccurrences(std::move(expanded), "%appversion%", appVersion());
}
