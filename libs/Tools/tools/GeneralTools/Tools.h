#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "Foundation/Bundle.h"
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

 private:
  Tools();

  std::shared_ptr<platform::Bundle> _defaultBundle;
};
