#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Foundation/NotificationCenter.h"
#include "GeneralTools/AdsConfiguration.h"
#include "GeneralTools/AdsManager.h"
#include "GeneralTools/DataSource.h"
#include "Host/OffscreenHost.h"
#include "Network/URLCache.h"
#include "TestHTTPServer.h"
#include "TestSupport.h"
#include "UI/UIAlertView.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UIWindow.h"

namespace ads_testing {

// An ads server on loopback whose answers a test changes as it goes: the version text, the
// feed (or a status in its place) and a count of every path asked for. Statistics requests are
// kept whole.
class FeedServer {
 public:
  FeedServer() {
    auto& server = _http.server();
    server.Get("/ads/version.php", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard lock(_mutex);
      note(req);
      if (version.empty()) {
        res.status = 500;
      } else {
        res.set_content(version, "text/plain");
      }
    });
    server.Get("/ads/info.php", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard lock(_mutex);
      note(req);
      res.status = feedStatus;
      if (!cutFeed) {
        res.set_content(feed, "text/xml");
        return;
      }
      // Announces the whole feed, sends half and drops the connection.
      auto body = std::make_shared<std::string>(feed);
      res.set_content_provider(body->size(), "text/xml",
                               [body](size_t offset, size_t, httplib::DataSink& sink) {
                                 return offset == 0 && sink.write(body->data(), body->size() / 2);
                               });
    });
    server.Get("/ads/stats.php", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard lock(_mutex);
      note(req);
      statsTargets.push_back(req.target);
      res.set_content("ok", "text/plain");
    });
    server.Get(R"(/icons/(.+))", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard lock(_mutex);
      note(req);
      auto found = icons.find(req.matches[1]);
      if (found == icons.end()) {
        res.status = 404;
      } else {
        res.set_content(found->second, "image/png");
      }
    });
    _http.start();
  }

  std::string url(const std::string& path = "/") const { return _http.url(path); }
  int hits(const std::string& path) {
    std::lock_guard lock(_mutex);
    return _hits[path];
  }
  std::string lastTarget(const std::string& path) {
    std::lock_guard lock(_mutex);
    return targets[path];
  }
  std::vector<std::string> stats() {
    std::lock_guard lock(_mutex);
    return statsTargets;
  }
  // Changes the answers; the server's threads read them under the same lock.
  template <class Change>
  void change(Change change) {
    std::lock_guard lock(_mutex);
    change(*this);
  }

  std::string version = "1";
  std::string feed;
  int feedStatus = 200;
  bool cutFeed = false;
  std::map<std::string, std::string> icons;
  std::vector<std::string> statsTargets;
  std::map<std::string, std::string> targets;  // the last target asked for, by path

 private:
  void note(const httplib::Request& req) {
    ++_hits[req.path];
    targets[req.path] = req.target;
  }

  TestHTTPServer _http;
  std::mutex _mutex;
  std::map<std::string, int> _hits;
};

// An offscreen application with a key window in a fresh app container, the settings' ads keys
// cleared, English as the language, and links written down instead of opened.
class AdsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UIApplication::sharedApplication().reset();
    host = std::make_unique<platform::OffscreenHost>();
    window = std::make_shared<platform::UIWindow>(platform::Rect(0, 0, 320, 568));
    window->makeKeyAndVisible();
    platform::UIApplication::sharedApplication().setURLOpener([this](const std::string& url) {
      opened.push_back(url);
      return true;
    });
    platform::URLCache::setSharedURLCache(std::make_shared<platform::URLCache>(
        1 << 20, 10 << 20, platform::URLCache::defaultPath().value_or("")));
    platform::Dictionary& data = DataSource::data();
    for (const char* key :
         {"AppActiveCount", AdsManager::kADSAlertsCount, AdsManager::kADSAlertsLastShowActiveCount})
      data.erase(key);
    platform::NotificationCenter::defaultCenter().addObserver(
        this, AdsManager::kNotificationAdsLoaded, nullptr,
        [this](const platform::Notification&) { ++loadedNotifications; });
  }
  void TearDown() override {
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    AdsConfiguration::setCurrent({});
    host.reset();
    platform::UIApplication::sharedApplication().reset();
  }

  void configure(const std::string& serverURL, const std::string& statisticsURL,
                 const std::string& salt = "Salt12345678",
                 const std::string& user = "0123456789abcdef0123456789abcdef") {
    AdsConfiguration::setCurrent({serverURL, statisticsURL, user, salt});
  }
  static void setActiveCount(long count) { DataSource::data()["AppActiveCount"] = count; }

  // One activation: the version check and whatever it leads to, until nothing is in flight.
  void activate(AdsManager& manager) {
    manager.updateData();
    EXPECT_TRUE(testing_support::runMainLoopUntil([&] { return !manager.isUpdating(); }));
    host->advanceBy(1);  // the alert's fade
  }

  // Taps the shown alert's button with that title; false when no alert or button shows it.
  bool tapAlertButton(AdsManager& manager, const std::string& title) {
    auto alert = manager.alertView();
    if (!alert) return false;
    for (int i = 0; i < alert->numberOfButtons(); ++i) {
      if (alert->buttonTitleAtIndex(i) != title) continue;
      host->tapView(*alert->buttonAtIndex(i));
      host->advanceBy(1);
      return true;
    }
    return false;
  }

  testing_support::ScopedEnvironment language{"LANGUAGE", "en"};
  testing_support::ScopedAppContainer container;
  std::unique_ptr<platform::OffscreenHost> host;
  std::shared_ptr<platform::UIWindow> window;
  std::vector<std::string> opened;
  int loadedNotifications = 0;
};

}  // namespace ads_testing
