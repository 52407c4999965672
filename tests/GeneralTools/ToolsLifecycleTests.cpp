#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <vector>

#include "Foundation/Bundle.h"
#include "Foundation/FileManager.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/AdsConfiguration.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/DeviceIdentifier.h"
#include "GeneralTools/MD5Additions.h"
#include "GeneralTools/Tools.h"
#include "RecordingServices.h"
#include "TestHTTPServer.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ConsoleCapture;
using testing_support::ScopedAppContainer;
using testing_support::TemporaryDirectory;

namespace {

class ToolsLifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeInfo("1.0");
    Bundle::setMainBundlePath(_bundle.path());
    services = std::make_shared<RecordingServices>();
    Tools::Instance().setVendorServices(services);
    Tools::Configuration configuration;
    configuration.analyticsAccountID = "UA-1-1";
    configuration.offerWallAppID = "wall";
    configuration.offerWallSecretKey = "secret";
    configuration.interstitialAppID = "cb";
    configuration.interstitialSignature = "sig";
    Tools::Instance().setConfiguration(configuration);
    relaunch();
  }
  void TearDown() override {
    Tools::Instance().setVendorServices(nullptr);
    Tools::Instance().setConfiguration({});
    DataSource::data().clear();
    Bundle::setMainBundlePath(std::nullopt);
  }
  void writeInfo(const std::string& version) {
    std::ofstream(_bundle.file("Info.plist"))
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleName</key><string>Pictavia</string>"
           "<key>CFBundleIdentifier</key><string>org.pictavia.test</string>"
           "<key>CFBundleVersion</key><string>"
        << version << "</string></dict></plist>";
    Bundle::setMainBundlePath(_bundle.path());  // the information dictionary is read once
  }
  // What a new process sees: only what was saved.
  void relaunch() {
    DataSource::data().clear();
    DataSource::source().loadData();
  }
  // The settings as the archive on disk holds them.
  Dictionary saved() {
    DataSource store;
    return store.dictionary();
  }
  std::string label() { return Tools::Instance().launchLabel(); }

  ScopedAppContainer _container;
  TemporaryDirectory _bundle;
  std::shared_ptr<RecordingServices> services;
};

TEST_F(ToolsLifecycleTest, LaunchesCountAndReportThemselvesAndVersionChangesAreTold) {
  // The house ads' statistics endpoint: the first launch is reported there once.
  std::atomic<int> firstLaunches = 0;
  TestHTTPServer stats;
  stats.server().Get("/stats.php",
                     [&](const httplib::Request& request, httplib::Response& response) {
                       if (request.get_param_value("action") == "first_launch") ++firstLaunches;
                       response.set_content("OK", "text/plain");
                     });
  stats.start();
  AdsConfiguration::setCurrent({"", stats.url("/stats.php"), "user", "salt12345678"});
  // The reports arrived by now: waits for `count`, then a moment for any one too many.
  auto reported = [&](int count) {
    RunLoop::main().runUntil([&] { return firstLaunches >= count; }, 30);
    RunLoop::main().runUntil([&] { return firstLaunches > count; }, 0.5);
    return firstLaunches.load();
  };

  Tools& tools = Tools::Instance();
  tools.appStart();
  EXPECT_EQ(reported(1), 1);
  EXPECT_EQ(services->take(),
            (std::vector<std::string>{"tracker UA-1-1 10", "offerwall wall secret",
                                      "event SystemEvent|FirstLaunch|" + label() + "|0",
                                      "interstitials cb sig", "show interstitial"}));
  EXPECT_EQ(tools.runCount(), 1);
  EXPECT_EQ(tools.appActiveCount(), 1);
  EXPECT_EQ(Tools::appName(), "Pictavia");
  EXPECT_FALSE(tools.oldAppVersion());
  Dictionary disk = saved();
  EXPECT_EQ(valueForKey(disk, "AppLaunchCount").integerValue(), 1);
  EXPECT_EQ(*valueForKey(disk, "AppVersion").string(), "1.0");
  ASSERT_TRUE(valueForKey(disk, "LastActiveDate").dateValue());

  relaunch();
  tools.appStart();
  EXPECT_EQ(reported(1), 1);  // not again
  auto calls = services->take();
  EXPECT_EQ(calls.at(2), "event SystemEvent|AppLaunch|" + label() + "|0");
  EXPECT_EQ(calls.at(3), "interstitials cb sig");  // no update event
  EXPECT_EQ(tools.runCount(), 2);
  EXPECT_EQ(tools.appActiveCount(), 2);

  writeInfo("1.1");
  relaunch();
  tools.appStart();
  calls = services->take();
  EXPECT_EQ(calls.at(2), "event SystemEvent|AppLaunch|" + label() + "|0");
  EXPECT_EQ(calls.at(3), "event SystemEvent|Update from 1.0 to 1.1||0");
  EXPECT_EQ(*tools.oldAppVersion(), "1.0");
  EXPECT_EQ(*valueForKey(saved(), "AppVersion").string(), "1.1");
  // The label is the readable model and the system version.
  EXPECT_EQ(label().find(Tools::platformExpanded() + "-"), 0u);
  AdsConfiguration::setCurrent({});
}

TEST_F(ToolsLifecycleTest, BackgroundSavesAndForegroundCountsAnActivation) {
  Tools& tools = Tools::Instance();
  tools.appStart();
  services->take();
  Date launched = *tools.lastActiveDate();
  DataSource::data()["Marker"] = Value(std::string("kept"));
  tools.appGoToBackgound();
  EXPECT_EQ(*valueForKey(saved(), "Marker").string(), "kept");
  tools.appGoToForeground();
  EXPECT_EQ(tools.appActiveCount(), 2);
  EXPECT_EQ(tools.runCount(), 1);
  EXPECT_GE(*tools.lastActiveDate(), launched);
  DataSource::data()["Marker"] = Value(std::string("at the end"));
  tools.appTerminate();
  EXPECT_EQ(*valueForKey(saved(), "Marker").string(), "at the end");
  EXPECT_EQ(services->take(), (std::vector<std::string>{"event SystemEvent|AppBackground||0",
                                                        "event SystemEvent|AppForeground||0",
                                                        "event SystemEvent|AppTerminate||0"}));
}

TEST_F(ToolsLifecycleTest, TheAppOpenReportIsStoredOnlyAfterA200WithABody) {
  std::atomic<int> requests = 0;
  std::atomic<int> status = 500;
  std::string query;
  std::mutex queryMutex;
  TestHTTPServer server;
  server.server().Get("/f0", [&](const httplib::Request& request, httplib::Response& response) {
    ++requests;
    {
      std::lock_guard lock(queryMutex);
      query = request.target.substr(request.target.find('?') + 1);
    }
    response.status = status;
    response.set_content(status == 200 ? "ok" : "", "text/plain");
  });
  server.start();
  Tools::Configuration configuration = Tools::Instance().configuration();
  configuration.appOpenReportBaseURL = server.url("/");
  configuration.storeAppID = "555";
  Tools::Instance().setConfiguration(configuration);

  auto report = [&] {
    std::optional<bool> outcome;
    Tools::Instance().reportAppOpenToAdMob([&](bool stored) { outcome = stored; });
    RunLoop::main().runUntil([&] { return outcome.has_value(); }, 30);
    return outcome;
  };
  ConsoleCapture console;
  EXPECT_EQ(report(), false);  // refused: not stored, so the next launch tries again
  EXPECT_TRUE(valueForKey(DataSource::data(), "AdmobAppOpen").isNull());
  status = 200;
  EXPECT_EQ(report(), true);
  EXPECT_EQ(*valueForKey(DataSource::data(), "AdmobAppOpen").string(), "YES");
  EXPECT_EQ(requests, 2);
  std::string hashed = *MD5Additions::stringFromMD5(DeviceIdentifier::uniqueDeviceIdentifier());
  for (char& c : hashed) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(Tools::Instance().hashedISU(), hashed);
  {
    std::lock_guard lock(queryMutex);
    EXPECT_EQ(query, "isu=" + hashed + "&md5=1&app_id=555");
  }
  // Once reported, never again: nothing is even sent.
  bool finished = false;
  Tools::Instance().reportAppOpenToAdMob([&](bool) { finished = true; });
  RunLoop::main().runPending();
  EXPECT_FALSE(finished);
  EXPECT_EQ(requests, 2);
}

}  // namespace
