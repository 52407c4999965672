// The program's delegate on the offscreen host, configured as the program configures itself
// but against a reference server on a free port, with the desktop's services log: the launch
// order, the catalogue refreshed at every activation, background, foreground and termination,
// and the app-open report tried again at the next launch after a refusal.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "App/PictaviaAppDelegate.h"
#include "AppUI/AppUIClasses.h"
#include "AppUI/MainViewController.h"
#include "CatalogPublisher.h"
#include "Config/Config.h"
#include "Content/ContentControl.h"
#include "Foundation/Bundle.h"
#include "Foundation/JSONSerialization.h"
#include "Foundation/NotificationCenter.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/DispatchTools.h"
#include "GeneralTools/Tools.h"
#include "Graphics/BitmapContext.h"
#include "Host/OffscreenHost.h"
#include "Imaging/ImageCache.h"
#include "ReferenceServer.h"
#include "Services/ServicesLog.h"
#include "TestSupport.h"
#include "UI/UIApplication.h"

using namespace platform;
using testing_support::runMainLoopUntil;
using testing_support::ScopedAppContainer;
using testing_support::TemporaryDirectory;

namespace {

class PictaviaAppDelegateTest : public ::testing::Test {
 protected:
  PictaviaAppDelegateTest() {
    Bundle::setMainBundlePath(std::string(PICTAVIA_RESOURCES_DIR));
    Tools::Instance().setDefaultBundle(Bundle::mainBundle());
    UIApplication::sharedApplication().reset();
    DataSource::data().clear();
    AppUIClasses::registerAll();
    // A catalogue of one clipart.
    for (const char* variant : {".png", "_iph5.png", "_small.png"})
      std::filesystem::copy_file(std::string(CONTENT_PACK_DIR) + "/clipart1" + variant,
                                 source.file(std::string("clipart1") + variant));
    std::string error;
    EXPECT_TRUE(CatalogPublisher::publish(source.path(), catalog.path(), error)) << error;
    ReferenceServer::Configuration configuration;
    configuration.catalogFolder = catalog.path();
    configuration.port = 0;
    configuration.logRequests = false;
    configuration.keepRequests = true;
    server = std::make_unique<ReferenceServer>(configuration);
    EXPECT_TRUE(server->start(error)) << error;
    EXPECT_TRUE(Config::install(server->rootURL()));
    Tools::Instance().setVendorServices(std::make_shared<ServicesLog>());
    NotificationCenter::defaultCenter().addObserver(
        this, ContentControl::kContentControlUpdateFinished, nullptr,
        [this](const Notification&) { ++cycles; });
  }
  ~PictaviaAppDelegateTest() override {
    NotificationCenter::defaultCenter().removeObserver(this);
    Tools::Instance().setVendorServices(nullptr);
    UIApplication::sharedApplication().reset();
    DataSource::data().clear();
    Bundle::setMainBundlePath(std::nullopt);
    Tools::Instance().setDefaultBundle(Bundle::mainBundle());
  }
  // The services log since the last call, one "service.call" line each, with an event's action
  // and label.
  std::vector<std::string> services() {
    std::vector<std::string> lines;
    std::ifstream in(*ServicesLog::logPath());
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      if (number++ < _seen) continue;
      Dictionary entry = *JSONSerialization::JSONObjectWithData(line)->dictionary();
      std::string text =
          *valueForKey(entry, "service").string() + "." + *valueForKey(entry, "call").string();
      if (const std::string* action = valueForKey(entry, "action").string()) {
        const std::string* label = valueForKey(entry, "label").string();
        text += " " + *action + "|" + (label ? *label : "-");
      }
      lines.push_back(text);
    }
    _seen = number;
    return lines;
  }
  // The paths of the server's requests from the `first`.
  std::vector<std::string> paths(size_t first) const {
    std::vector<std::string> result;
    auto all = server->requests();
    for (size_t i = first; i < all.size(); ++i) result.push_back(all[i].request.path);
    return result;
  }
  static bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // The settings as a new process would read them from disk.
  static Dictionary saved() { return DataSource().dictionary(); }
  static void cacheAPicture() {
    ImageCache::Instance().cachImage(BitmapContext::create(4, 4, false)->makeImage(), "probe");
  }

  ScopedAppContainer container;
  TemporaryDirectory source, catalog;
  std::unique_ptr<ReferenceServer> server;
  int cycles = 0;

 private:
  int _seen = 0;
};

TEST_F(PictaviaAppDelegateTest, LaunchesInOrderAndEveryActivationRefreshesTheCatalogue) {
  OffscreenHost host(DeviceProfile::phoneTall());
  auto delegate = std::make_shared<PictaviaAppDelegate>();
  host.launch(delegate, Dictionary{{"url", Value(std::string("pictavia:open"))}});
  std::string launch = "analytics.event FirstLaunch|" + Tools::Instance().launchLabel();
  auto lines = services();
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8),
            (std::vector<std::string>{"analytics.start", "offerwall.connect", launch,
                                      "interstitials.start", "interstitials.show",
                                      "attribution.start", "push.takeOff", "push.register"}));
  // The tall screen's main screen is the root.
  auto* main =
      dynamic_cast<MainViewController*>(delegate->navigationController()->topViewController());
  ASSERT_TRUE(main);
  EXPECT_EQ(main->centerTitleView->frame().origin.y, 40);

  // Activation after the launch syncs the tall screen's catalogue.
  ASSERT_TRUE(runMainLoopUntil([&] { return cycles >= 1; }, 60));
  EXPECT_TRUE(contains(paths(0), "/tall/"));
  EXPECT_FALSE(contains(paths(0), "/standard/"));
  EXPECT_GT(ContentControl::Instance()->availContentForType(ContentTypeClipart), 0);
  // The launch's ads feed fetch ends first: one still under way would take the foreground's place.
  ASSERT_TRUE(runMainLoopUntil(
      [&] {
        return contains(paths(0), "/ads/version.php") && DispatchTools::Instance().taskCount() == 0;
      },
      60));

  // Background: the cache emptied, the settings saved, the event told.
  cacheAPicture();
  DataSource::data()["Marker"] = Value(std::string("before background"));
  UIApplication::sharedApplication().enterBackground();
  EXPECT_EQ(ImageCache::Instance().count(), 0u);
  EXPECT_EQ(*valueForKey(saved(), "Marker").string(), "before background");
  EXPECT_EQ(services(), std::vector<std::string>{"analytics.event AppBackground|"});

  // Foreground: one more activation counted, the event, the ads feed and the catalogue again.
  size_t requests = server->requestCount();
  int cyclesBefore = cycles;
  Date launched = *Tools::Instance().lastActiveDate();
  UIApplication::sharedApplication().enterForeground();
  EXPECT_EQ(Tools::Instance().appActiveCount(), 2);
  EXPECT_GE(*Tools::Instance().lastActiveDate(), launched);
  EXPECT_TRUE(contains(services(), "analytics.event AppForeground|"));
  ASSERT_TRUE(runMainLoopUntil(
      [&] { return cycles > cyclesBefore && contains(paths(requests), "/ads/version.php"); }, 60));
  EXPECT_TRUE(contains(paths(requests), "/tall/"));

  // A memory warning empties the cache; the push service's answers are told.
  cacheAPicture();
  UIApplication::sharedApplication().receiveMemoryWarning();
  EXPECT_EQ(ImageCache::Instance().count(), 0u);
  delegate->applicationDidRegisterForRemoteNotificationsWithDeviceToken(Bytes{1, 2});
  delegate->applicationDidFailToRegisterForRemoteNotificationsWithError(3);
  lines = services();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "analytics.event didRegisterForRemoteNotificationsWithDeviceToken|-");
  EXPECT_EQ(lines[1], "push.deviceToken");
  EXPECT_EQ(lines[2],
            "analytics.event didFailToRegisterForRemoteNotificationsWithError|"
            "error code: 3");

  // Termination: the push service lands, then the settings are saved and the event told.
  DataSource::data()["Marker"] = Value(std::string("at the end"));
  host.terminate();
  EXPECT_EQ(services(), (std::vector<std::string>{"push.land", "analytics.event AppTerminate|"}));
  EXPECT_EQ(*valueForKey(saved(), "Marker").string(), "at the end");
}

TEST_F(PictaviaAppDelegateTest, ARefusedAppOpenReportIsSentAgainAtTheNextLaunch) {
  std::atomic<int> reports = 0;
  server->setFaultHook([&](const ServerRequest& request) {
    if (request.path != ReferenceServer::kAppOpenPath) return ServerFault::none();
    return ++reports == 1 ? ServerFault::withStatus(500) : ServerFault::none();
  });
  auto appOpen = [] { return valueForKey(DataSource::data(), "AdmobAppOpen").string(); };
  {
    OffscreenHost host(DeviceProfile::phoneTall());
    host.launch(std::make_shared<PictaviaAppDelegate>());
    ASSERT_TRUE(runMainLoopUntil([&] { return reports >= 1 && cycles >= 1; }, 60));
    host.advanceBy(1);
    EXPECT_FALSE(appOpen());
    host.terminate();
  }
  // A new process: only what was saved.
  UIApplication::sharedApplication().reset();
  DataSource::data().clear();
  DataSource::source().loadData();
  services();
  OffscreenHost host(DeviceProfile::phoneTall());
  host.launch(std::make_shared<PictaviaAppDelegate>());
  ASSERT_TRUE(runMainLoopUntil([&] { return appOpen() != nullptr; }, 60));
  EXPECT_EQ(*appOpen(), "YES");
  EXPECT_EQ(reports, 2);
  EXPECT_EQ(Tools::Instance().runCount(), 2);
  EXPECT_EQ(services().at(2), "analytics.event AppLaunch|" + Tools::Instance().launchLabel());
  host.terminate();
}

}  // namespace
