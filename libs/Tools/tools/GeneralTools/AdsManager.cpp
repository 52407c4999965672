#include "GeneralTools/AdsManager.h"

#include <algorithm>
#include <mutex>

#include "Foundation/Console.h"
#include "Foundation/FileManager.h"
#include "Foundation/Locale.h"
#include "Foundation/NotificationCenter.h"
#include "GeneralTools/AdsConfiguration.h"
#include "GeneralTools/AdsReporter.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/DispatchTaskDownload.h"
#include "GeneralTools/DispatchTools.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "Network/URLEscaping.h"
#include "UI/UIAlertView.h"
#include "UI/UIApplication.h"

using platform::FileManager;

namespace {

constexpr const char* kVersionFile = "version.txt";
constexpr const char* kVersionTmpFile = "version.txt.tmp";
constexpr const char* kInfoFile = "info.xml";
constexpr const char* kInfoTmpFile = "info.xml.tmp";

// The shown count of each alert, by identifier.
platform::Dictionary& alertsCount() {
  platform::Value& stored = DataSource::data()[AdsManager::kADSAlertsCount];
  if (!stored.dictionary()) stored = platform::Dictionary();
  return *stored.dictionary();
}

std::int64_t shownCount(const std::string& itemID) {
  const platform::Value& stored =
      platform::valueForKey(DataSource::data(), AdsManager::kADSAlertsCount);
  const platform::Dictionary* counts = stored.dictionary();
  return counts ? platform::valueForKey(*counts, itemID).integerValue().value_or(0) : 0;
}

}  // namespace

// Hears the alert dialog for the manager; the dialog holds it weakly.
class AdsManager::AlertDelegate : public platform::UIAlertViewDelegate {
 public:
  explicit AlertDelegate(AdsManager& manager) : _manager(manager) {}
  void alertViewWillDismissWithButtonIndex(platform::UIAlertView& alertView,
                                           int buttonIndex) override {
    _manager.alertViewWillDismissWithButtonIndex(alertView, buttonIndex);
  }

 private:
  AdsManager& _manager;
};

AdsManager& AdsManager::Instance() {
  static AdsManager* manager = new AdsManager();  // lives until the process ends
  return *manager;
}

AdsManager::AdsManager()
    : _alertDelegate(std::make_shared<AlertDelegate>(*this)),
      _alive(std::make_shared<AdsManager*>(this)) {
  _adsDir = FileManager::stringByAppendingPathComponent(
      DataSource::applicationDocumentsDirectory().value_or(""), ".ads");
  if (!FileManager::fileExistsAtPath(_adsDir)) FileManager::createDirectoryAtPath(_adsDir, true);
  if (auto document = loadAndValidateXMLAtPath(pathInAdsDir(kInfoFile))) getDataFromXML(*document);
}

AdsManager::~AdsManager() {
  _alive.reset();
  if (_getVersionTask) _getVersionTask->cancelTask();
  if (_updateTask) _updateTask->cancelTask();
  if (_curAlertView) _curAlertView->setDelegate({});
}

std::string AdsManager::pathInAdsDir(const std::string& name) const {
  return FileManager::stringByAppendingPathComponent(_adsDir, name);
}

std::string AdsManager::addParamsToRequestURL(const std::string& url) const {
  const std::pair<const char*, std::string> params[] = {
      {"user", AdsConfiguration::current().user},
      {"application_id", Tools::appID()},
      {"lang", platform::Locale::currentLocaleIdentifier()},
      {"device", Tools::platform()},
      {"version", Tools::appVersion()},
      {"model", Tools::model()},
      {"os", "iOS " + Tools::systemVersion()},
  };
  std::string result = url;
  bool first = true;
  for (const auto& [key, value] : params) {
    result += first ? "?" : "&";
    result += std::string(key) + "=" + platform::URLEscaping::stringByAddingPercentEscapes(value);
    first = false;
  }
  return result;
}

std::shared_ptr<XMLDocument> AdsManager::loadAndValidateXMLAtPath(const std::string& path) {
  auto document = XMLDocument::documentWithContentsOfFile(path, kMaximumFeedSize);
  if (!document || document->rootXMLElement().name() != "info") return nullptr;
  return document;
}

void AdsManager::getDataFromXML(const XMLDocument& document) {
  XMLElement root = document.rootXMLElement();
  _adsItems.clear();
  XMLElement ads = root.firstChild("ads");
  for (XMLElement ad = ads.firstChild("ad"); ad; ad = ad.nextSibling("ad"))
    if (auto item = AdsItem::itemWithXMLElement(ad)) _adsItems.push_back(item);
  _adsAlerts.clear();
  XMLElement alerts = root.firstChild("alerts");
  for (XMLElement alert = alerts.firstChild("alert"); alert; alert = alert.nextSibling("alert"))
    if (auto item = AdsAlertItem::itemWithXMLElement(alert)) _adsAlerts.push_back(item);
  platform::NotificationCenter::defaultCenter().postNotification(kNotificationAdsLoaded, this);
}

void AdsManager::updateData() {
  // A check while the feed is still being fetched would only find the same change again.
  if (_getVersionTask || _updateTask) return;
  const std::string& server = AdsConfiguration::current().serverURL;
  if (server.empty()) return;
  std::string tmp = pathInAdsDir(kVersionTmpFile);
  FileManager::removeItemAtPath(tmp);
  _versionPending = false;
  std::weak_ptr<AdsManager*> alive = _alive;
  _getVersionTask = DispatchTaskDownload::downloadTaskWithURLToFile(
      addParamsToRequestURL(server + "version.php"), tmp, [alive](DispatchTask& task) {
        if (auto manager = alive.lock())
          (*manager)->versionDownloaded(static_cast<DispatchTaskDownload&>(task));
      });
  if (!_getVersionTask) return;
  _getVersionTask->setMaximumBodySize(kMaximumVersionSize);
  DispatchTools::Instance().addTask(_getVersionTask);
}

std::optional<std::string> AdsManager::readVersionFile(const std::string& name) const {
  auto bytes = FileManager::contentsAtPath(pathInAdsDir(name), kMaximumVersionSize);
  if (!bytes || bytes->empty()) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

void AdsManager::versionDownloaded(DispatchTaskDownload& task) {
  _getVersionTask.reset();
  std::optional<std::string> newVersion;
  if (task.transferSucceeded()) newVersion = readVersionFile(kVersionTmpFile);
  if (!newVersion) {
    // No answer counts as a change. What a failed transfer left is no version at all.
    FileManager::removeItemAtPath(pathInAdsDir(kVersionTmpFile));
    _downloadInfo();
    return;
  }
  if (*newVersion == readVersionFile(kVersionFile)) {
    FileManager::removeItemAtPath(pathInAdsDir(kVersionTmpFile));
    if (!Tools::isSystemVersionGreaterThanOrEqualTo("5.0")) downloadAdsItemsData();
    return;
  }
  // The new version waits in its temporary file until its feed proves valid.
  _versionPending = true;
  _downloadInfo();
}

void AdsManager::_downloadInfo() {
  if (_updateTask) return;
  std::string tmp = pathInAdsDir(kInfoTmpFile);
  FileManager::removeItemAtPath(tmp);
  std::weak_ptr<AdsManager*> alive = _alive;
  _updateTask = DispatchTaskDownload::downloadTaskWithURLToFile(
      addParamsToRequestURL(AdsConfiguration::current().serverURL + "info.php"), tmp,
      [alive](DispatchTask& task) {
        if (auto manager = alive.lock())
          (*manager)->infoDownloaded(static_cast<DispatchTaskDownload&>(task));
      });
  if (!_updateTask) return;
  _updateTask->setMaximumBodySize(kMaximumFeedSize);
  DispatchTools::Instance().addTask(_updateTask);
}

void AdsManager::infoDownloaded(DispatchTaskDownload& task) {
  _updateTask.reset();
  std::shared_ptr<XMLDocument> document;
  // A cut transfer can end where the text still parses; only a whole answer counts.
  if (task.transferSucceeded()) document = loadAndValidateXMLAtPath(pathInAdsDir(kInfoTmpFile));
  if (document &&
      FileManager::moveItemAtPath(pathInAdsDir(kInfoTmpFile), pathInAdsDir(kInfoFile))) {
    if (_versionPending)
      FileManager::moveItemAtPath(pathInAdsDir(kVersionTmpFile), pathInAdsDir(kVersionFile));
    getDataFromXML(*document);
    downloadAdsItemsData();
  } else {
    platform::Console::log("The ads feed was not accepted; the last accepted one stays");
  }
  _versionPending = false;
  _alertWasShown = false;
  showNextAlert();
}

void AdsManager::downloadAdsItemsData() {
  for (const auto& item : _adsItems) item->downloadData();
}

void AdsManager::setCanShowAdsAlert(bool canShow) {
  _canShowAdsAlert = canShow;
  if (canShow) showNextAlert();
}

std::shared_ptr<AdsAlertItem> AdsManager::nextAlert() const {
  std::int64_t sinceLast = Tools::Instance().appActiveCount() -
                           platform::valueForKey(DataSource::data(), kADSAlertsLastShowActiveCount)
                               .integerValue()
                               .value_or(0);
  for (const auto& alert : _adsAlerts)
    if (shownCount(alert->itemID()) < alert->timesToShow() && sinceLast >= alert->showDelta())
      return alert;
  return nullptr;
}

void AdsManager::showNextAlert() {
  if (_curAlert || !_canShowAdsAlert || _alertWasShown) return;
  std::shared_ptr<AdsAlertItem> alert = nextAlert();
  if (!alert) return;
  _alertWasShown = true;
  DataSource::data()[kADSAlertsLastShowActiveCount] =
      platform::Value(static_cast<std::int64_t>(Tools::Instance().appActiveCount()));
  platform::Dictionary& counts = alertsCount();
  counts[alert->itemID()] = platform::Value(shownCount(alert->itemID()) + 1);
  std::vector<std::string> titles;
  for (const auto& button : alert->buttons()) titles.push_back(button->displayTitle());
  _curAlert = alert;
  _curAlertView = std::make_shared<platform::UIAlertView>(
      alert->title(), alert->message(), _alertDelegate,
      Localization::Instance().localizationForKey("_Loc_Cancel"), titles);
  _curAlertView->show();
  // Without a window nothing shows and nothing will be dismissed: no alert is on screen.
  if (!_curAlertView->isVisible()) {
    _curAlert.reset();
    _curAlertView.reset();
  }
}

void AdsManager::alertViewWillDismissWithButtonIndex(platform::UIAlertView& alertView,
                                                     int buttonIndex) {
  if (&alertView != _curAlertView.get() || !_curAlert) return;
  std::shared_ptr<AdsAlertItem> alert = std::move(_curAlert);
  _curAlertView.reset();
  if (buttonIndex <= 0 || static_cast<size_t>(buttonIndex) > alert->buttons().size()) return;
  // A button of its own was pressed: the alert is never chosen again.
  alertsCount()[alert->itemID()] = platform::Value(alert->timesToShow() + 1);
  const AdsAlertButton& button = *alert->buttons()[buttonIndex - 1];
  if (button.url().empty()) return;
  if (button.isAdvertURL())
    AdsReporter::reportAdClickForAdvertID(alert->itemID(), alert->targetAppId(), "message");
  platform::UIApplication::sharedApplication().openURL(button.url());
}
