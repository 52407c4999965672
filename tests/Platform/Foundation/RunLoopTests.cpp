#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/RunLoop.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::VirtualTime;

namespace {

// The system's steady clock, whatever clock the main loop runs on.
double realSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

TEST(RunLoopTest, WorkPostedFromOtherThreadsRunsOnTheMainThreadInOrder) {
  EXPECT_TRUE(RunLoop::isMainThread());
  std::vector<int> order;
  std::atomic<bool> offMain{false};
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i)
      RunLoop::main().post([&, i] {
        if (!RunLoop::isMainThread()) offMain = true;
        order.push_back(i);
      });
  });
  poster.join();
  EXPECT_TRUE(testing_support::runMainLoopUntil([&] { return order.size() == 100; }));
  EXPECT_FALSE(offMain);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[i], i);
}

TEST(RunLoopTest, TimersFireInDeadlineOrderAndCanBeCancelled) {
  VirtualTime time;
  std::vector<std::string> fired;
  RunLoop& loop = RunLoop::main();
  loop.schedule(2, [&] { fired.push_back("two"); });
  auto cancelled = loop.schedule(1, [&] { fired.push_back("cancelled"); });
  loop.schedule(1, [&] { fired.push_back("one"); });
  loop.schedule(0, [&] { fired.push_back("zero"); });
  EXPECT_TRUE(loop.cancel(cancelled));
  EXPECT_FALSE(loop.cancel(cancelled));

  loop.runPending();
  EXPECT_EQ(fired, std::vector<std::string>{"zero"});
  loop.advanceBy(1.5);
  EXPECT_EQ(fired, (std::vector<std::string>{"zero", "one"}));
  loop.advanceBy(0.5);
  EXPECT_EQ(fired, (std::vector<std::string>{"zero", "one", "two"}));
  EXPECT_EQ(loop.pendingTimerCount(), 0u);
}

TEST(RunLoopTest, AVirtualClockJumpsOverLongDelaysWithoutSleeping) {
  VirtualTime time;
  RunLoop& loop = RunLoop::main();
  int retries = 0;
  std::function<void()> retry = [&] {
    ++retries;
    if (retries < 3) loop.schedule(300, retry);
  };
  loop.schedule(300, retry);
  double start = realSeconds();

  loop.advanceBy(299.9);
  EXPECT_EQ(retries, 0);
  // A timer that a timer schedules fires within the same advance when it falls due.
  loop.advanceBy(900);
  EXPECT_EQ(retries, 3);
  EXPECT_DOUBLE_EQ(loop.now(), 1000 + 299.9 + 900);
  EXPECT_LT(realSeconds() - start, 2.0);

  // Under a virtual clock, waiting does not move time: the timer stays pending.
  bool late = false;
  loop.schedule(60, [&] { late = true; });
  EXPECT_FALSE(loop.runUntil([&] { return late; }, 0.02));
  loop.advanceBy(60);
  EXPECT_TRUE(late);
}

TEST(RunLoopTest, ReplacingTheClockKeepsTheTimeTimersHaveLeft) {
  RunLoop& loop = RunLoop::main();
  bool fired = false;
  auto id = loop.schedule(3600, [&] { fired = true; });
  loop.setClock(std::make_shared<VirtualClock>(50));
  loop.advanceBy(3599);
  EXPECT_FALSE(fired);
  loop.advanceBy(2);
  EXPECT_TRUE(fired);
  EXPECT_FALSE(loop.cancel(id));
  loop.setClock(nullptr);
}

TEST(RunLoopTest, RealTimersFireOnTheSystemClockAndRunUntilGivesUpAfterItsTimeout) {
  RunLoop& loop = RunLoop::main();
  bool fired = false;
  double start = realSeconds();
  loop.schedule(0.03, [&] { fired = true; });
  EXPECT_TRUE(loop.runUntil([&] { return fired; }, 5));
  EXPECT_GE(realSeconds() - start, 0.03);
  start = realSeconds();
  EXPECT_FALSE(loop.runUntil([] { return false; }, 0.05));
  double waited = realSeconds() - start;
  EXPECT_GE(waited, 0.05);
  EXPECT_LT(waited, 5.0);
}

TEST(RunLoopTest, RunReturnsWhenStoppedFromAnotherThreadAndRunUntilNestsInAHandler) {
  RunLoop& loop = RunLoop::main();
  bool inner = false, outer = false;
  loop.post([&] {
    loop.post([&] { inner = true; });
    EXPECT_TRUE(loop.runUntil([&] { return inner; }, 5));
    outer = true;
  });
  EXPECT_TRUE(loop.runUntil([&] { return outer; }, 5));

  int ran = 0;
  loop.post([&] { ++ran; });
  std::thread stopper([&] {
    RunLoop::main().post([&] { ++ran; });
    RunLoop::main().stop();
  });
  loop.run();
  stopper.join();
  loop.runPending();
  EXPECT_EQ(ran, 2);
}

namespace {

// A pipe whose read end the loop watches; the deadline is real time, whatever the loop's clock.
class PipeSource : public RunLoop::Source {
 public:
  PipeSource() { EXPECT_EQ(pipe(_fds), 0); }
  ~PipeSource() override {
    close(_fds[0]);
    close(_fds[1]);
  }
  double prepare(std::vector<pollfd>& fds) override {
    fds.push_back(pollfd{_fds[0], POLLIN, 0});
    return deadline - SystemClock().now();
  }
  bool dispatch(const pollfd* fds, size_t count, bool deadlinePassed) override {
    if (deadlinePassed) {
      ++deadlines;
      deadline = std::numeric_limits<double>::infinity();
    }
    if (count == 1 && (fds[0].revents & POLLIN)) {
      char byte;
      if (read(_fds[0], &byte, 1) == 1) received.push_back(byte);
    }
    return true;
  }
  void send(char byte) { ASSERT_EQ(write(_fds[1], &byte, 1), 1); }

  std::string received;
  int deadlines = 0;
  double deadline = std::numeric_limits<double>::infinity();

 private:
  int _fds[2];
};

}  // namespace

TEST(RunLoopTest, SourcesAreServedForDescriptorsAndRealDeadlinesUntilRemoved) {
  VirtualTime time;  // the source's deadline must not depend on the loop's clock
  RunLoop& loop = RunLoop::main();
  PipeSource source;
  loop.addSource(&source);
  std::thread writer([&] { source.send('a'); });
  EXPECT_TRUE(loop.runUntil([&] { return source.received == "a"; }, 5));
  writer.join();

  source.deadline = SystemClock().now() + 0.05;
  EXPECT_TRUE(loop.runUntil([&] { return source.deadlines == 1; }, 5));

  // Posted work that keeps coming does not starve the source.
  std::function<void()> busy = [&] { loop.post(busy); };
  loop.post(busy);
  source.send('b');
  EXPECT_TRUE(loop.runUntil([&] { return source.received == "ab"; }, 5));
  busy = [] {};

  loop.removeSource(&source);
  source.send('c');
  loop.runUntil([] { return false; }, 0.05);
  EXPECT_EQ(source.received, "ab");
  loop.runPending();
}
