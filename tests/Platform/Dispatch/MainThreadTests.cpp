#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Dispatch/MainThread.h"
#include "Foundation/RunLoop.h"
#include "TestSupport.h"

using namespace platform;

TEST(MainThreadTest, SyncRunsAtOnceOnTheMainThreadAndWaitsForItElsewhereAsyncAlwaysWaits) {
  bool ran = false;
  runOnMainThreadSync([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_EQ(RunLoop::main().runPending(), 0u);  // nothing went through the loop

  std::atomic<bool> returned{false};
  bool ranOnMain = false;
  std::thread background([&] {
    runOnMainThreadSync([&] { ranOnMain = RunLoop::isMainThread(); });
    returned = true;
  });
  EXPECT_TRUE(testing_support::runMainLoopUntil([&] { return returned.load(); }));
  background.join();
  EXPECT_TRUE(ranOnMain);

  ran = false;
  runOnMainThreadAsync([&] { ran = true; });
  EXPECT_FALSE(ran);
  RunLoop::main().runPending();
  EXPECT_TRUE(ran);
}
