#include <gtest/gtest.h>

#include <thread>

#include "Foundation/NotificationCenter.h"
#include "Foundation/RunLoop.h"
#include "TestSupport.h"

using namespace platform;

TEST(NotificationCenterTest, ObserversMatchByNameAndSenderAndRemovedOnesAreNotCalled) {
  NotificationCenter center;
  int sender = 0, otherSender = 0, observer = 0;
  std::vector<std::string> seen;
  center.addObserver(&observer, "kContentControlHasNewContent", nullptr,
                     [&](const Notification& n) { seen.push_back("any sender: " + n.name); });
  center.addObserver(&observer, "kContentControlHasNewContent", &sender,
                     [&](const Notification&) { seen.push_back("that sender"); });
  center.addObserver(&observer, "", &otherSender,
                     [&](const Notification& n) { seen.push_back("any name: " + n.name); });

  center.postNotification("kContentControlHasNewContent", &sender);
  center.postNotification("kContentControlHasNewContent", &otherSender);
  center.postNotification("kNotificationAdsLoaded", &otherSender, Dictionary{{"count", 3}});
  center.postNotification("kContentControlUpdateFinished");
  EXPECT_EQ(seen,
            (std::vector<std::string>{"any sender: kContentControlHasNewContent", "that sender",
                                      "any sender: kContentControlHasNewContent",
                                      "any name: kContentControlHasNewContent",
                                      "any name: kNotificationAdsLoaded"}));

  // Removed observers are not called, even during a delivery.
  int first = 0, second = 0;
  int firstCalls = 0, secondCalls = 0;
  center.addObserver(&first, "n", nullptr, [&](const Notification&) {
    ++firstCalls;
    center.removeObserver(&second);
  });
  center.addObserver(&second, "n", nullptr, [&](const Notification&) { ++secondCalls; });
  center.postNotification("n");
  EXPECT_EQ(firstCalls, 1);
  EXPECT_EQ(secondCalls, 0);

  center.removeObserver(&first);
  center.postNotification("n");
  EXPECT_EQ(firstCalls, 1);

  center.addObserver(&second, "n", &sender, [&](const Notification&) { ++secondCalls; });
  center.addObserver(&second, "m", nullptr, [&](const Notification&) { ++secondCalls; });
  center.removeObserver(&second, "n", nullptr);
  center.postNotification("n", &sender);
  center.postNotification("m");
  EXPECT_EQ(secondCalls, 1);
  auto id = center.addObserver(&second, "o", nullptr, [&](const Notification&) { ++secondCalls; });
  center.removeObserverWithId(id);
  center.postNotification("o");
  EXPECT_EQ(secondCalls, 1);
}

TEST(NotificationCenterTest, PostsFromOtherThreadsAreDeliveredOnTheMainThread) {
  NotificationCenter& center = NotificationCenter::defaultCenter();
  int observer = 0;
  bool delivered = false, onMain = false;
  center.addObserver(&observer, "kNotificationAdsItemUpdated", nullptr, [&](const Notification& n) {
    delivered = true;
    onMain = RunLoop::isMainThread();
    EXPECT_EQ(valueForKey(n.userInfo, "icon").string() != nullptr, true);
  });
  std::thread([&] {
    center.postNotification("kNotificationAdsItemUpdated", nullptr, Dictionary{{"icon", "a.png"}});
  }).join();
  EXPECT_FALSE(delivered);  // not before the main loop runs
  EXPECT_TRUE(testing_support::runMainLoopUntil([&] { return delivered; }));
  EXPECT_TRUE(onMain);
  center.removeObserver(&observer);
}
