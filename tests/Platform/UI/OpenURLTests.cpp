#include <gtest/gtest.h>

#include "LaunchRecorder.h"
#include "TestSupport.h"
#include "UI/UIApplication.h"

using namespace platform;

TEST(OpenURLTest, OnlyHttpAndHttpsLinksReachTheDesktopOpenerOrItsReplacement) {
  UIApplication& app = UIApplication::sharedApplication();
  app.reset();
  platform::testing::LaunchRecorder recorder;
  EXPECT_TRUE(app.openURL("https://example.org/a?b=c"));
  EXPECT_FALSE(app.openURL("-https://example.org"));
  EXPECT_EQ(recorder.launches,
            (std::vector<DesktopLauncher::Arguments>{{"xdg-open", "https://example.org/a?b=c"}}));
  recorder.starts = false;
  EXPECT_FALSE(app.openURL("http://example.org"));  // the opener did not start
  std::vector<std::string> opened;
  app.setURLOpener([&](const std::string& url) {
    opened.push_back(url);
    return true;
  });
  testing_support::ConsoleCapture console;
  EXPECT_TRUE(app.openURL("http://example.org/help"));
  EXPECT_TRUE(app.openURL("HTTPS://example.org/a?b=c%20d"));
  EXPECT_FALSE(app.openURL("file:///etc/passwd"));
  EXPECT_FALSE(app.openURL("mailto:someone@example.org"));
  EXPECT_FALSE(app.openURL("javascript://alert(1)"));
  EXPECT_FALSE(app.openURL("https://"));
  EXPECT_FALSE(app.openURL("https://example.org/two words"));
  EXPECT_FALSE(app.openURL(""));
  EXPECT_EQ(opened,
            (std::vector<std::string>{"http://example.org/help", "HTTPS://example.org/a?b=c%20d"}));
  EXPECT_EQ(console.lines().size(), 6u);

  app.setURLOpener([](const std::string&) { return false; });
  EXPECT_FALSE(app.openURL("https://example.org"));
  EXPECT_EQ(console.lines().size(), 7u);
  EXPECT_EQ(recorder.launches.size(), 2u);  // a replaced opener is the only one
  app.reset();
}
