#include <gtest/gtest.h>

#include <string>

#include "AdsTestSupport.h"
#include "Foundation/FileManager.h"
#include "GeneralTools/Localization.h"

using namespace ads_testing;
using testing_support::readTextFile;

namespace {

// A feed of two ads whose icons the server has, and the alerts given.
std::string feedWith(const FeedServer& server, const std::string& alerts = "") {
  std::string ads;
  for (std::string name : {"a", "b"})
    ads += "<ad><id>" + name + "</id><target_app_id>com." + name +
           "</target_app_id><app_info device=\"all\"><title><en>App " + name + "</en><ru>Прил " +
           name + "</ru></title><icon>" + server.url("/icons/" + name + ".png") +
           "</icon></app_info></ad>";
  return "<?xml version=\"1.0\"?><info><ads>" + ads + "</ads><alerts>" + alerts +
         "</alerts></info>";
}

std::string png() {
  auto data = testing_support::readTextFile(std::string(SAMPLE_ADS_DIR) + "/icons/chess.png");
  EXPECT_FALSE(data.empty());
  return data;
}

class AdsManagerTest : public AdsTest {
 protected:
  void SetUp() override {
    AdsTest::SetUp();
    server.change([](FeedServer& s) { s.icons = {{"a.png", png()}, {"b.png", png()}}; });
    server.change([](FeedServer& s) { s.feed = feedWith(s); });
    configure(server.url("/ads/"), server.url("/ads/stats.php"));
  }
  std::string file(const AdsManager& manager, const std::string& name) {
    return readTextFile(manager.pathInAdsDir(name));
  }
  bool exists(const AdsManager& manager, const std::string& name) {
    return platform::FileManager::fileExistsAtPath(manager.pathInAdsDir(name));
  }
  FeedServer server;
};

}  // namespace

TEST_F(AdsManagerTest, ANewVersionBringsTheFeedAndItsIconsAndTheSameVersionDoesNot) {
  AdsManager manager;
  EXPECT_TRUE(manager.adsItems().empty());
  EXPECT_EQ(loadedNotifications, 0);
  int iconUpdates = 0;
  platform::NotificationCenter::defaultCenter().addObserver(
      this, AdsItem::kNotificationAdsItemUpdated, nullptr,
      [&](const platform::Notification&) { ++iconUpdates; });

  activate(manager);
  EXPECT_EQ(file(manager, "version.txt"), "1");
  EXPECT_EQ(file(manager, "info.xml"), server.feed);
  EXPECT_FALSE(exists(manager, "version.txt.tmp"));
  EXPECT_FALSE(exists(manager, "info.xml.tmp"));
  EXPECT_EQ(loadedNotifications, 1);
  ASSERT_EQ(manager.adsItems().size(), 2u);
  EXPECT_EQ(manager.adsItems()[1]->title(), "App b");
  ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return iconUpdates == 2; }));
  auto icon = manager.adsItems()[0]->imgIcon();
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->size().width, 57);  // a 1x picture: its URL has no "@2x"
  // The request parameters, values escaped, keys in a fixed order.
  std::string target = server.lastTarget("/ads/info.php");
  EXPECT_EQ(target.rfind("/ads/info.php?user=0123456789abcdef0123456789abcdef&application_id=", 0),
            0u)
      << target;
  for (const char* key : {"&lang=", "&device=", "&version=", "&model=iPhone", "&os=iOS%20"})
    EXPECT_NE(target.find(key), std::string::npos) << key;

  // Same version: no feed request, and the icons in the cache are not fetched again.
  activate(manager);
  EXPECT_EQ(server.hits("/ads/version.php"), 2);
  EXPECT_EQ(server.hits("/ads/info.php"), 1);
  EXPECT_EQ(loadedNotifications, 1);
  server.change([](FeedServer& s) { s.version = "2"; });
  activate(manager);
  EXPECT_EQ(server.hits("/ads/info.php"), 2);
  EXPECT_EQ(server.hits("/icons/a.png"), 1);

  // A restart takes the accepted feed from disk without asking the server.
  AdsManager restarted;
  EXPECT_EQ(restarted.adsItems().size(), 2u);
  EXPECT_EQ(loadedNotifications, 3);
  EXPECT_EQ(server.hits("/ads/version.php"), 3);
}

TEST_F(AdsManagerTest, AFailedFeedKeepsTheAcceptedOneAndIsFetchedAgainAtTheNextActivation) {
  AdsManager manager;
  activate(manager);
  std::string accepted = server.feed;
  ASSERT_EQ(file(manager, "info.xml"), accepted);

  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<info>";
  struct Bad {
    const char* what;
    std::string feed;
    int status = 200;
    bool cut = false;
  } bad[] = {
      {"server error", accepted, 500},
      {"cut short", accepted, 200, true},
      {"another root", "<ads><ad><id>x</id><target_app_id>y</target_app_id></ad></ads>"},
      {"not UTF-8", "<info><ads><ad><id>caf\xE9</id></ad></ads></info>"},
      {"over the size limit",
       "<info>" + std::string(AdsManager::kMaximumFeedSize, ' ') + "</info>"},
      {"deeply nested and unclosed", deep},
      {"empty", ""},
  };
  int version = 1, fetches = 1;
  for (const Bad& b : bad) {
    server.change([&](FeedServer& s) {
      s.version = std::to_string(++version);
      s.feed = b.feed;
      s.feedStatus = b.status;
      s.cutFeed = b.cut;
    });
    // Twice: the version still differs from the accepted one, so the feed is asked for again.
    for (int attempt = 0; attempt < 2; ++attempt) {
      activate(manager);
      EXPECT_EQ(server.hits("/ads/info.php"), ++fetches) << b.what;
      EXPECT_EQ(file(manager, "version.txt"), "1") << b.what;
      EXPECT_EQ(file(manager, "info.xml"), accepted) << b.what;
      EXPECT_EQ(manager.adsItems().size(), 2u) << b.what;
      EXPECT_EQ(loadedNotifications, 1) << b.what;
    }
  }
  // Once the feed is good again it is taken with the version it came with.
  server.change([&](FeedServer& s) {
    s.feed = feedWith(s) + "<!-- new -->";
    s.feedStatus = 200;
    s.cutFeed = false;
  });
  activate(manager);
  EXPECT_EQ(file(manager, "version.txt"), std::to_string(version));
  EXPECT_EQ(file(manager, "info.xml"), feedWith(server) + "<!-- new -->");
  EXPECT_EQ(loadedNotifications, 2);

  // A version check that fails counts as a change: the feed is fetched, the version kept.
  server.change([](FeedServer& s) { s.version.clear(); });
  activate(manager);
  EXPECT_EQ(server.hits("/ads/info.php"), fetches + 2);
  EXPECT_EQ(file(manager, "version.txt"), std::to_string(version));
}

TEST_F(AdsManagerTest, AlertsKeepTheirScheduleAndOnlyWebLinksOpen) {
  server.change([](FeedServer& s) {
    s.feed = feedWith(s, R"(
      <alert><id>A</id><target_app_id>com.a</target_app_id>
        <times_to_show>2</times_to_show><show_delata>3</show_delata>
        <alert_info device="all"><title>Try A</title><msg>It is good</msg></alert_info>
        <buttons><button><title>Get</title><url>https://plain.example/a</url>
          <advert_url>https://store.example/a</advert_url></button></buttons></alert>
      <alert><id>B</id><target_app_id>com.b</target_app_id>
        <alert_info device="all"><title>Try B</title></alert_info>
        <buttons><button><title>Run</title><url>javascript:alert(1)</url></button></buttons>
      </alert>)");
  });
  AdsManager manager;
  // Each activation brings a new version, so each fetches the feed and may show one alert.
  auto activateAt = [&](long count) {
    setActiveCount(count);
    server.change([&](FeedServer& s) { s.version = std::to_string(count); });
    activate(manager);
    return manager.alertView() ? manager.alertView()->title() : std::string("none");
  };
  EXPECT_EQ(activateAt(3), "Try A");
  const std::string cancel = Localization::Instance().localizationForKey("_Loc_Cancel");
  EXPECT_EQ(manager.alertView()->buttonTitleAtIndex(0), cancel);
  EXPECT_TRUE(tapAlertButton(manager, cancel));
  EXPECT_EQ(activateAt(4), "Try B");  // A waits three activations; B is due after one
  EXPECT_TRUE(tapAlertButton(manager, "Run"));
  EXPECT_EQ(activateAt(6), "none");  // B was ended by its button
  EXPECT_EQ(activateAt(7), "Try A");
  EXPECT_TRUE(tapAlertButton(manager, "Get"));
  EXPECT_EQ(activateAt(50), "none");  // A was shown twice and ended by its button
  EXPECT_EQ(opened, (std::vector<std::string>{"https://store.example/a"}));
  const platform::Dictionary& counts =
      *platform::valueForKey(DataSource::data(), AdsManager::kADSAlertsCount).dictionary();
  EXPECT_EQ(platform::valueForKey(counts, "A").integerValue(), 3);
  EXPECT_EQ(platform::valueForKey(counts, "B").integerValue(), 2);
  EXPECT_EQ(platform::valueForKey(DataSource::data(), AdsManager::kADSAlertsLastShowActiveCount)
                .integerValue(),
            7);
  // The advert button's click was reported as a message click.
  ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return server.stats().size() == 1; }));
  std::string report = server.stats()[0];
  for (const char* part :
       {"&advert_id=A&", "&application_id=com.a&", "&type=message&", "&action=click&"})
    EXPECT_NE(report.find(part), std::string::npos) << part << " in " << report;
}
