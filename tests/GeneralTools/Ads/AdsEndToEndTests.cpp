#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "AdsTestSupport.h"
#include "AppUI/AdsTableViewController.h"
#include "AppUI/AppUIClasses.h"
#include "Config/AdsAccount.h"
#include "GeneralTools/AdsReporter.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "RecordingServices.h"
#include "ReferenceServer.h"
#include "UI/UINavigationController.h"

using namespace ads_testing;

namespace {

// The reference server over an empty catalogue and a copy of the sample ads, so that the
// statistics it stores land in the test's own folder.
class AdsEndToEndTest : public AdsTest {
 protected:
  void SetUp() override {
    AdsTest::SetUp();
    std::filesystem::create_directories(folder.file("catalog"));
    std::filesystem::copy(SAMPLE_ADS_DIR, folder.file("ads"),
                          std::filesystem::copy_options::recursive);
    ReferenceServer::Configuration configuration;
    configuration.catalogFolder = folder.file("catalog");
    configuration.adsFolder = folder.file("ads");
    configuration.port = 0;
    configuration.logRequests = false;
    server = std::make_unique<ReferenceServer>(configuration);
    std::string error;
    ASSERT_TRUE(server->start(error)) << error;
    root = server->rootURL();
    configure(root + "/ads/", root + "/ads/stats.php", AdsAccount::kSalt, AdsAccount::kUser);
  }
  void TearDown() override {
    server->stop();
    AdsTest::TearDown();
  }
  size_t storedReports() { return server->statsStore()->reports().size(); }
  int status(const std::string& url) {
    httplib::Client client("127.0.0.1", server->port());
    auto result = client.Get(url.substr(root.size()));
    return result ? result->status : 0;
  }

  testing_support::TemporaryDirectory folder;
  std::unique_ptr<ReferenceServer> server;
  std::string root;
};

}  // namespace

TEST_F(AdsEndToEndTest, TheSampleFeedArrivesWithIconsAndAnAlertClickIsStoredSigned) {
  int iconUpdates = 0;
  platform::NotificationCenter::defaultCenter().addObserver(
      this, AdsItem::kNotificationAdsItemUpdated, nullptr,
      [&](const platform::Notification&) { ++iconUpdates; });
  setActiveCount(3);
  AdsManager manager;
  activate(manager);
  ASSERT_EQ(manager.adsItems().size(), 6u);
  EXPECT_EQ(manager.adsItems()[0]->title(), "Starlit Sky");
  EXPECT_EQ(manager.adsItems()[5]->description(),
            "Play a quick game against friends or the computer.");  // the tablet's is not ours
  ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return iconUpdates == 6; }));
  for (const auto& item : manager.adsItems()) {
    auto icon = item->imgIcon();
    ASSERT_TRUE(icon) << item->urlImgIcon();
    EXPECT_EQ(icon->scale(), 2);  // the "@2x" icons on this retina phone
    EXPECT_EQ(icon->size().width, 57);
  }

  // The first alert is due at the third activation; its button is an advert link.
  ASSERT_TRUE(manager.alertView());
  EXPECT_EQ(manager.alertView()->title(), "New: Starlit Sky");
  EXPECT_TRUE(tapAlertButton(manager, "Get it"));
  EXPECT_EQ(opened,
            (std::vector<std::string>{"https://apps.example.com/app/starlitsky?from=pictavia"}));
  ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return storedReports() == 1; }));
  StatsStore::Report click = server->statsStore()->reports()[0];
  // Twelve parameters, in the order they entered the digest that the server checked.
  std::vector<std::string> names;
  for (const auto& [name, value] : click.parameters) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"user", "from_application_id", "application_id",
                                             "advert_id", "lang", "type", "action", "device_id",
                                             "os", "platform", "model", "version"}));
  EXPECT_EQ(click.parameter("user"), AdsAccount::kUser);
  EXPECT_EQ(click.parameter("action"), "click");
  EXPECT_EQ(click.parameter("type"), "message");
  EXPECT_EQ(click.parameter("advert_id"), "alert-starlit");
  EXPECT_EQ(click.parameter("application_id"), "com.quillon.starlitsky");
  EXPECT_EQ(click.parameter("os"), "iOS 6.1");

  AdsReporter::reportFirstStart();
  ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return storedReports() == 2; }));
  EXPECT_EQ(server->statsStore()->reports()[1].parameter("action"), "first_launch");

  // Signed with another salt, changed on the way, or unsigned: refused and not stored.
  AdsReporter::Params params = AdsReporter::completedParams(
      AdsReporter::generalParamsForAdvertID("ad 1", "com.quillon.tidynotes", "banner"));
  std::string endpoint = root + "/ads/stats.php";
  EXPECT_EQ(status(AdsReporter::signedURL(endpoint, params, AdsAccount::kSalt)), 200);
  EXPECT_EQ(status(AdsReporter::signedURL(endpoint, params, "WrongSalt123")), 403);
  std::string tampered = AdsReporter::signedURL(endpoint, params, AdsAccount::kSalt);
  tampered.replace(tampered.find("ad%201"), 6, "ad%202");
  EXPECT_EQ(status(tampered), 403);
  EXPECT_EQ(status(endpoint + "?user=x&action=click"), 403);
  EXPECT_EQ(storedReports(), 3u);
  // The space went into the digest as a space and into the query as %20.
  EXPECT_NE(tampered.find("&advert_id=ad%202&"), std::string::npos);
  EXPECT_EQ(server->statsStore()->reports()[2].parameter("advert_id"), "ad 1");

  // The server's command lists what it stored, in order.
  server->stop();
  std::string command =
      std::string(REFERENCE_SERVER_PATH) + " --list-reports --ads " + folder.file("ads");
  std::string listing;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) listing.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0);
  }
  EXPECT_NE(listing.find("action=click"), std::string::npos) << listing;
  EXPECT_NE(listing.find("advert_id=ad 1"), std::string::npos) << listing;
  EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 3);
}

TEST_F(AdsEndToEndTest, RussianTextsAndTheTabletBlockComeFromTheSameFeed) {
  testing_support::ScopedEnvironment russian("LANGUAGE", "ru_RU");
  testing_support::ScopedDeviceProfile tablet(platform::DeviceProfile::tablet());
  AdsManager manager;
  activate(manager);
  ASSERT_EQ(manager.adsItems().size(), 6u);
  EXPECT_EQ(manager.adsItems()[0]->title(), "Звёздное небо");
  EXPECT_EQ(manager.adsItems()[5]->description(),
            "Игра на большом экране: полная доска, подсказки ходов и повтор партий.");
  EXPECT_EQ(manager.adsItems()[0]->urlImgIcon(), root + "/ads/icons/starlit@2x.png");
}

TEST_F(AdsEndToEndTest, TheAdsListShowsTheFeedWithIconsAndARowClickIsStoredSigned) {
  AppUIClasses::registerAll();
  auto services = std::make_shared<RecordingServices>();
  Tools::Instance().setVendorServices(services);
  int iconUpdates = 0;
  platform::NotificationCenter::defaultCenter().addObserver(
      this, AdsItem::kNotificationAdsItemUpdated, nullptr,
      [&](const platform::Notification&) { ++iconUpdates; });
  AdsManager& manager = AdsManager::Instance();
  activate(manager);
  ASSERT_EQ(manager.adsItems().size(), 6u);
  ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return iconUpdates == 6; }));

  auto list = std::dynamic_pointer_cast<AdsTableViewController>(
      Tools::loadViewControllerNamed("AdsTableViewController"));
  ASSERT_TRUE(list);
  window->setRootViewController(std::make_shared<platform::UINavigationController>(list));
  host->advanceBy(0.5);
  ASSERT_TRUE(list->adsView);
  EXPECT_EQ(list->adsView->itemsCount(), 6);
  // Six rows of 72 points fit the tall screen: every row is on screen, with its icon and texts.
  ASSERT_EQ(list->adsView->displayedCells().size(), 6u);
  for (const auto& cell : list->adsView->displayedCells()) {
    auto row = std::dynamic_pointer_cast<AdsItemCell>(cell);
    ASSERT_TRUE(row && row->data());
    EXPECT_TRUE(row->imgIcon->image()) << row->data()->title();
    EXPECT_EQ(row->lblTitle->text(), row->data()->title());
    EXPECT_EQ(row->lblTitle->font(), platform::UIFont("Helvetica-Bold", 18));
    EXPECT_TRUE(row->backGroundImage());
    EXPECT_EQ(row->btnBuy->titleForState(platform::UIControlStateNormal),
              Localization::Instance().localizationForKey("_Loc_AdsBuy"));
  }
  testing_support::TemporaryDirectory shots;
  EXPECT_TRUE(host->writeScreenshot(shots.file("ads-list.png")));

  // A tap on the second row reports a banner click, signed, and opens the store link.
  opened.clear();
  auto second = list->adsView->findVisibleCellWithIndex(1);
  ASSERT_TRUE(second);
  host->tapView(*second);
  host->advanceBy(0.5);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], manager.adsItems()[1]->urlApp());
  ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return storedReports() == 1; }));
  StatsStore::Report click = server->statsStore()->reports()[0];
  EXPECT_EQ(click.parameter("type"), "banner");
  EXPECT_EQ(click.parameter("advert_id"), manager.adsItems()[1]->itemID());

  // Past the last row, the offer wall.
  list->itemActionInItemsView(*list->adsView, 6);
  std::vector<std::string> offerWall;
  for (const auto& call : services->calls)
    if (call.starts_with("show offerwall")) offerWall.push_back(call);
  EXPECT_EQ(offerWall, std::vector<std::string>{"show offerwall over AdsTableViewController"});
  Tools::Instance().setVendorServices(nullptr);
}
