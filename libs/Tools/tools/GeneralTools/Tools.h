#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/Bundle.h"
#include "GeneralTools/AnalyticsTracker.h"
#include "GeneralTools/VendorServices.h"
#include "Graphics/Image.h"

namespace platform {
class UIViewController;
class UINavigationController;
}  // namespace platform

// Device and resource queries of the application shell. They answer from the current device
// profile, so a host (or a test) decides what device the program runs as.
class Tools {
 public:
  // The extended attribute that keeps an item out of backups. Linux only allows user-namespace
  // names on ordinary files, hence the "user." prefix.
  static constexpr const char* kMobileBackupAttributeName = "user.com.apple.MobileBackup";

  // The hardware model string ("iPhone4,1"; the machine's architecture on a desktop).
  static std::string platform();
  // The readable name of the model; an unknown model string comes back unchanged.
  static std::string platformExpanded();
  static std::string platformExpanded(std::string_view model);
  // The model name the system reports: "iPad" on a tablet, "iPod touch" for an iPod model
  // string, "iPhone" otherwise.
  static std::string model();
  // The operating-system version ("6.1").
  static std::string systemVersion();
  // The main bundle's identifier and version ("CFBundleIdentifier", "CFBundleVersion"); empty
  // when the information dictionary lacks them.
  static std::string appID();
  static std::string appVersion();
  // The main bundle's name ("CFBundleName"); empty when missing.
  static std::string appName();
  static bool isIPad();
  // The 4-inch phone: phone idiom, scale exactly 2 and a screen exactly 568 points high.
  static bool isIPhone5Screen();
  // Whether the system version is not lower than `version`, comparing numerically part by part
  // (missing parts count as 0).
  static bool isSystemVersionGreaterThanOrEqualTo(std::string_view version);
  static int compareVersions(std::string_view left, std::string_view right);
  // Marks a file or directory (path, or file URL of this machine) to be left out of backups.
  static bool addMobileBackupAttributeToItemAtURL(const std::string& url);

  // A picture by file name with extension: on a phone with a scale-2 screen the "@2x" file
  // ("name@2x.ext", scale 2) when the bundle has it, otherwise the named file (scale 1); null
  // when neither exists or decodes.
  static std::shared_ptr<platform::Image> hiresImageNamed(
      std::string_view name, const std::shared_ptr<platform::Bundle>& bundle);
  // From the default bundle (true) or the main bundle (false).
  static std::shared_ptr<platform::Image> hiresImageNamed(std::string_view name,
                                                          bool useDefaultBundle = true);

  // A new screen of the controller class with that name, using the interface file named like
  // the class from the default bundle (true) or the main bundle (false); none for an unknown
  // class name.
  static std::shared_ptr<platform::UIViewController> loadViewControllerNamed(
      const std::string& name, bool useDefaultBundle = true);
  // A navigation controller rooted at that screen, or none.
  static std::shared_ptr<platform::UINavigationController>
  loadToNavigationControlerViewControllerNamed(const std::string& name);

  // The singleton; created on first use (on the main thread during launch).
  static Tools& Instance();

  // The text with every "%appname%" replaced by the main bundle's "CFBundleName", then every
  // "%appversion%" by its "CFBundleVersion" (an absent value by nothing).
  std::string expandTemplateParams(std::string_view text) const;
  // `text` with every `placeholder` replaced by `value`, left to right; an inserted value is
  // not searched again.
  static std::string replacingOccurrences(std::string text, std::string_view placeholder,
                                          std::string_view value);
  // Shorthand for Instance().expandTemplateParams(text). (C++ cannot give a static and a
  // member function the same name and parameters.)
  static std::string expandTemplate(std::string_view text) {
    return Instance().expandTemplateParams(text);
  }
  // Where interface files and pictures are loaded from by name: the main bundle unless set.
  std::shared_ptr<platform::Bundle> defaultBundle() const { return _defaultBundle; }
  void setDefaultBundle(std::shared_ptr<platform::Bundle> bundle) {
    _defaultBundle = std::move(bundle);
  }

  // What the lifecycle hands to the vendors, from the application's configuration.
  struct Configuration {
    std::string analyticsAccountID;
    double analyticsDispatchPeriod = 10;
    std::string offerWallAppID;
    std::string offerWallSecretKey;
    std::string interstitialAppID;
    std::string interstitialSignature;
    // The ad network's conversion host up to the path ("http://host/"); empty: no report.
    std::string appOpenReportBaseURL;
    // The store's numeric application identifier.
    std::string storeAppID;
  };
  const Configuration& configuration() const { return _configuration; }
  void setConfiguration(Configuration configuration) { _configuration = std::move(configuration); }
  // The vendors' services; also the analytics tracker. None: their calls are dropped.
  const std::shared_ptr<VendorServices>& vendorServices() const { return _services; }
  void setVendorServices(std::shared_ptr<VendorServices> services);

  // The lifecycle, called by the application delegate: launch, going to the background, coming
  // back, termination. Each ends in its system event; launch and the moves to the background
  // and termination save the settings.
  void appStart();
  void appGoToBackgound();
  void appGoToForeground();
  void appTerminate();

  // Counters and the version record in the settings store.
  long runCount() const;
  void increaseRunCount();
  long appActiveCount() const;
  void increaseAppActiveCount();
  std::optional<platform::Date> lastActiveDate() const;
  // Records the bundle's version as this launch's, keeping the previous one as oldAppVersion.
  void updateVersionData();
  const std::optional<std::string>& oldAppVersion() const { return _oldAppVersion; }
  // "<readable model>-<system version>": the label of the launch events.
  std::string launchLabel() const;
  // The device identifier's MD5 in upper-case hexadecimal; none without an identifier.
  std::optional<std::string> hashedISU() const;
  // Reports the first open to the ad network once: the request blocks a thread of its own, and
  // "AdmobAppOpen" is stored on the main thread after a 200 with a body. `finished` (tests)
  // runs on the main thread with whether it was stored; it does not run when nothing was sent.
  void reportAppOpenToAdMob(std::function<void(bool stored)> finished = nullptr);

  // Analytics. An ordinary event's category is the visible screen; a system event's is
  // "SystemEvent". Without a tracker the events are dropped.
  void eventHappened(const std::string& action, const std::optional<std::string>& label,
                     long value);
  void sysEventHappened(const std::string& action, const std::optional<std::string>& label,
                        long value);
  // A screen about to appear becomes the visible one and is reported as the page "/<class>";
  // one about to disappear clears it only while it is still the visible one.
  void itemAppear(const platform::UIViewController& screen);
  void itemDisappear(const platform::UIViewController& screen);
  // The class name of the screen that appeared last; empty before the first.
  const std::string& visibleItem() const { return _visibleItem; }
  const std::shared_ptr<AnalyticsTracker>& analyticsTracker() const { return _tracker; }
  void setAnalyticsTracker(std::shared_ptr<AnalyticsTracker> tracker) {
    _tracker = std::move(tracker);
  }

 private:
  Tools();

  std::string _visibleItem;
  std::optional<std::string> _oldAppVersion;
  std::shared_ptr<platform::Bundle> _defaultBundle;
  std::shared_ptr<AnalyticsTracker> _tracker;
  std::shared_ptr<VendorServices> _services;
  Configuration _configuration;
};
