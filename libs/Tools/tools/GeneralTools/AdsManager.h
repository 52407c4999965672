#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "GeneralTools/AdsAlertItem.h"
#include "GeneralTools/AdsItem.h"
#include "GeneralTools/XMLDocument.h"

class DispatchTaskDownload;
namespace platform {
class UIAlertView;
}

// The local copy of the publisher's ads feed: the promoted applications and the pop-up alerts.
// On every activation it asks the ads server for the feed's version and fetches the feed when
// the version changed; after each fetch at most one due alert is shown. Main thread only.
//
// The feed lives in the ads directory (".ads" in the documents directory): "info.xml" is the
// last accepted feed and "version.txt" the version that feed was fetched for. A new version
// waits in "version.txt.tmp" and becomes "version.txt" only once the feed that followed it was
// valid, so a failed feed is fetched again at the next activation.
class AdsManager {
 public:
  static constexpr const char* kNotificationAdsLoaded = "kNotificationAdsLoaded";
  static constexpr const char* kADSAlertsCount = "ADSAlertsCount";
  static constexpr const char* kADSAlertsLastShowActiveCount = "ADSAlertsLastShowActiveCount";
  // The largest feed taken, from the server or from disk (a real one is a few kilobytes), and
  // the largest version text.
  static constexpr std::size_t kMaximumFeedSize = 1 << 20;
  static constexpr std::size_t kMaximumVersionSize = 1024;

  // The process's manager, created on first use.
  static AdsManager& Instance();

  // A manager over the current app container: makes the ads directory and loads the accepted
  // feed (posting kNotificationAdsLoaded when it is valid). Nothing is fetched or shown yet.
  // The singleton is one of these; tests make their own.
  AdsManager();
  ~AdsManager();
  AdsManager(const AdsManager&) = delete;
  AdsManager& operator=(const AdsManager&) = delete;

  // Starts the version check, unless a check or a feed fetch is under way.
  void updateData();

  const std::vector<std::shared_ptr<AdsItem>>& adsItems() const { return _adsItems; }
  const std::vector<std::shared_ptr<AdsAlertItem>>& adsAlerts() const { return _adsAlerts; }
  bool canShowAdsAlert() const { return _canShowAdsAlert; }
  // YES also tries to show the next alert.
  void setCanShowAdsAlert(bool canShow);

  // The alert dialog's callback: index 0 is the cancel button, index i the alert's button i-1.
  void alertViewWillDismissWithButtonIndex(platform::UIAlertView& alertView, int buttonIndex);

  // `url` with the request parameters appended ("?user=…&application_id=…"), values escaped.
  std::string addParamsToRequestURL(const std::string& url) const;

  // The feed at `path` when it parses and its root element is "info"; none otherwise.
  static std::shared_ptr<XMLDocument> loadAndValidateXMLAtPath(const std::string& path);
  // Rebuilds both lists from a valid feed and posts kNotificationAdsLoaded.
  void getDataFromXML(const XMLDocument& document);
  // The first alert whose shown count is below its limit and whose activation gap has passed.
  std::shared_ptr<AdsAlertItem> nextAlert() const;
  // Shows the next alert, unless one is on screen, alerts are off or one was shown since the
  // last feed fetch.
  void showNextAlert();
  void downloadAdsItemsData();

  const std::string& adsDir() const { return _adsDir; }
  std::string pathInAdsDir(const std::string& name) const;
  // Whether a version check or a feed fetch is under way.
  bool isUpdating() const { return _getVersionTask || _updateTask; }
  // The alert dialog on screen, or none.
  const std::shared_ptr<platform::UIAlertView>& alertView() const { return _curAlertView; }

 private:
  class AlertDelegate;

  void versionDownloaded(DispatchTaskDownload& task);
  void _downloadInfo();
  void infoDownloaded(DispatchTaskDownload& task);
  // The text of a file in the ads directory, or none when it is missing, empty or too long.
  std::optional<std::string> readVersionFile(const std::string& name) const;

  std::vector<std::shared_ptr<AdsItem>> _adsItems;
  std::vector<std::shared_ptr<AdsAlertItem>> _adsAlerts;
  std::string _adsDir;
  std::shared_ptr<DispatchTaskDownload> _getVersionTask;
  std::shared_ptr<DispatchTaskDownload> _updateTask;
  std::shared_ptr<AdsAlertItem> _curAlert;
  bool _canShowAdsAlert = true;
  bool _alertWasShown = false;
  // Whether "version.txt.tmp" holds a new version that waits for its feed.
  bool _versionPending = false;
  std::shared_ptr<platform::UIAlertView> _curAlertView;
  std::shared_ptr<AlertDelegate> _alertDelegate;
  // Cleared when the manager goes, so late completions find nothing to touch.
  std::shared_ptr<AdsManager*> _alive;
};
