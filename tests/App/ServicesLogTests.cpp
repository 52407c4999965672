#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Foundation/JSONSerialization.h"
#include "Foundation/NotificationCenter.h"
#include "Services/ServicesLog.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ScopedAppContainer;

namespace {

std::vector<Dictionary> readLines(const std::string& path) {
  std::vector<Dictionary> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    auto value = JSONSerialization::JSONObjectWithData(line);
    EXPECT_TRUE(value && value->dictionary()) << line;
    if (value && value->dictionary()) lines.push_back(*value->dictionary());
  }
  return lines;
}

std::string text(const Dictionary& line, std::string_view key) {
  const std::string* s = valueForKey(line, key).string();
  return s ? *s : "(absent)";
}

TEST(ServicesLogTest, EveryCallIsOneLineAndTheLogRollsOverKeepingOneOldFile) {
  ScopedAppContainer container;
  ServicesLog log;
  int connected = 0;
  int owner = 0;
  NotificationCenter::defaultCenter().addObserver(&owner, "TJC_Connect_Success", nullptr,
                                                  [&](const Notification&) { ++connected; });
  log.startTracker("UA-7", 10);
  log.trackEvent("MainViewController", "tap", std::nullopt, 2);
  log.trackPageview("/MainViewController");
  log.connectOfferWall("id", "key");
  log.registerDeviceToken(Bytes{0x0a, 0xff});
  NotificationCenter::defaultCenter().removeObserver(&owner);
  EXPECT_EQ(connected, 1);

  std::string path = *ServicesLog::logPath();
  EXPECT_EQ(path, container.root() + "/Library/Logs/services.jsonl");
  auto lines = readLines(path);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(text(lines[0], "service"), "analytics");
  EXPECT_EQ(valueForKey(lines[0], "dispatchPeriod").realValue(), 10);
  EXPECT_EQ(text(lines[1], "category"), "MainViewController");
  EXPECT_TRUE(valueForKey(lines[1], "label").isNull());
  EXPECT_EQ(valueForKey(lines[1], "value").integerValue(), 2);
  EXPECT_EQ(text(lines[2], "page"), "/MainViewController");
  EXPECT_EQ(text(lines[3], "call"), "connect");
  EXPECT_EQ(text(lines[4], "token"), "0aff");
  EXPECT_GT(*valueForKey(lines[4], "time").realValue(), 1.7e9);

  // Past 1 MiB the log starts again; only the one before it is kept.
  std::string label(4000, 'x');
  for (int i = 0; i < 600; ++i) log.trackEvent("Screen", "fill", label, i);
  auto current = readLines(path);
  auto previous = readLines(path + ".1");
  EXPECT_FALSE(current.empty());
  EXPECT_FALSE(previous.empty());
  EXPECT_LT(current.size() + previous.size(), 605u);  // the first generation is gone
  EXPECT_EQ(valueForKey(current.back(), "value").integerValue(), 599);
  std::ifstream in(path, std::ios::ate);
  EXPECT_LT(static_cast<long>(in.tellg()), ServicesLog::kMaximumLogSize);
}

}  // namespace
