#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <semaphore>
#include <thread>

#include "Dispatch/DispatchQueue.h"
#include "Dispatch/GlobalQueue.h"
#include "Dispatch/MainThread.h"
#include "Foundation/RunLoop.h"
#include "TestSupport.h"

using namespace platform;

TEST(DispatchQueueTest, RunsBlocksOneAtATimeInOrderOffTheCallersThread) {
  std::vector<int> order;
  std::atomic<int> running{0};
  bool overlapped = false;
  std::thread::id worker;
  {
    DispatchQueue queue("com.brightmoor.gentools.generalTasks");
    EXPECT_EQ(queue.label(), "com.brightmoor.gentools.generalTasks");
    for (int i = 0; i < 200; ++i)
      queue.async([&, i] {
        if (running++ > 0) overlapped = true;
        order.push_back(i);
        worker = std::this_thread::get_id();
        --running;
      });
    int seen = -1;
    queue.sync([&] { seen = static_cast<int>(order.size()); });
    EXPECT_EQ(seen, 200);  // sync waits behind everything submitted before it
    for (int i = 200; i < 250; ++i) queue.async([&, i] { order.push_back(i); });
  }  // destruction runs what is left and joins
  EXPECT_FALSE(overlapped);
  ASSERT_EQ(order.size(), 250u);
  for (int i = 0; i < 250; ++i) EXPECT_EQ(order[i], i);
  EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(DispatchQueueTest, SynchronousAndAsynchronousBlocksNeverOverlap) {
  DispatchQueue queue("exclusive");
  long counter = 0;  // deliberately unsynchronized: the queue is the only guard
  std::atomic<int> inside{0};
  bool overlapped = false;
  auto touch = [&] {
    if (inside++ > 0) overlapped = true;
    ++counter;
    --inside;
  };
  std::vector<std::thread> callers;
  for (int t = 0; t < 4; ++t)
    callers.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        if (i % 2) {
          queue.sync(touch);
        } else {
          queue.async(touch);
        }
      }
    });
  for (auto& caller : callers) caller.join();
  queue.sync([] {});
  EXPECT_EQ(counter, 8000);
  EXPECT_FALSE(overlapped);

  // Idle, a synchronous block runs on the caller's own thread. A queue that has run nothing
  // is idle for sure; the one above may still be closing its last block when sync returns.
  // A sync from inside the queue runs at once instead of waiting for itself.
  DispatchQueue idle("idle");
  std::thread::id ranOn;
  bool inner = false, current = false;
  idle.sync([&] {
    ranOn = std::this_thread::get_id();
    current = idle.isCurrent();
    idle.sync([&] { inner = true; });
  });
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_TRUE(inner && current);
  EXPECT_FALSE(idle.isCurrent());
}

TEST(GlobalQueueTest, ApplyRunsEveryIterationInParallelAndWaitsAlsoWhenNested) {
  GlobalQueue& global = GlobalQueue::defaultPriority();
  EXPECT_GE(global.threadCount(), 2u);
  constexpr size_t kCount = 1000;
  std::vector<std::atomic<int>> hits(kCount);
  dispatchApply(kCount, [&](size_t i) { ++hits[i]; });
  for (size_t i = 0; i < kCount; ++i) ASSERT_EQ(hits[i], 1) << i;

  // Two iterations that wait for each other only finish if they run at the same time.
  std::binary_semaphore first(0), second(0);
  dispatchApply(2, [&](size_t i) {
    if (i == 0) {
      first.release();
      EXPECT_TRUE(second.try_acquire_for(std::chrono::seconds(10)));
    } else {
      second.release();
      EXPECT_TRUE(first.try_acquire_for(std::chrono::seconds(10)));
    }
  });
  dispatchApply(0, [](size_t) { FAIL(); });

  // Nested applies from every pool thread at once do not starve.
  std::atomic<int> total{0};
  dispatchApply(global.threadCount() * 2,
                [&](size_t) { dispatchApply(8, [&](size_t) { ++total; }); });
  EXPECT_EQ(total, static_cast<int>(global.threadCount() * 2 * 8));

  std::binary_semaphore done(0);
  global.async([&] { done.release(); });
  EXPECT_TRUE(done.try_acquire_for(std::chrono::seconds(10)));
}

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
