#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <semaphore>

#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::runMainLoopUntil;

namespace {

// A network task that counts its finishNetworkTask calls, as download tasks override it.
class CountingNetworkTask : public DispatchTask {
 public:
  static std::shared_ptr<CountingNetworkTask> make(int& completions) {
    return std::shared_ptr<CountingNetworkTask>(new CountingNetworkTask(completions));
  }
  void finishNetworkTask() override { ++finishCalls, DispatchTask::finishNetworkTask(); }
  int finishCalls = 0;

 private:
  explicit CountingNetworkTask(int& completions)
      : DispatchTask([](DispatchTask&) { FAIL() << "must not run"; },
                     [&completions](DispatchTask&) { ++completions; }, true) {}
};

// Records which network tasks started and which completed; all on the main thread.
struct NetworkLog {
  std::vector<DispatchTask*> started;
  std::vector<std::string> completed;
  bool offMain = false;

  std::shared_ptr<DispatchTask> task(const std::string& name) {
    auto task = DispatchTask::networkTaskWithExecuteBlock(
        [this](DispatchTask& t) { offMain |= !RunLoop::isMainThread(), started.push_back(&t); },
        [this, name](DispatchTask&) {
          offMain |= !RunLoop::isMainThread(), completed.push_back(name);
        });
    task->setObject(name, "name");
    return task;
  }
  std::string startedName(size_t i) const { return *started.at(i)->objectForKey("name").string(); }
  void add(DispatchTools& tools, std::initializer_list<const char*> names) {
    for (const char* name : names) tools.addTask(task(name));
  }
};

// Lets the runner's threads do whatever they would do next.
void settle() {
  RunLoop::main().runUntil([] { return false; }, 0.05);
}

}  // namespace

TEST(DispatchToolsTest, LocalTasksRunOffTheMainThreadAndCompleteOnIt) {
  auto noop = [](DispatchTask&) {};
  EXPECT_FALSE(DispatchTask::taskWithExecuteBlock(nullptr, noop));
  EXPECT_FALSE(DispatchTask::networkTaskWithExecuteBlock(noop, nullptr));
  DispatchTools tools;
  constexpr int kTasks = 200;
  std::atomic<int> executedOffMain{0};
  int completedOnMain = 0, completions = 0;
  for (int i = 0; i < kTasks; ++i)
    tools.addTask(DispatchTask::taskWithExecuteBlock(
        [&](DispatchTask& t) {
          executedOffMain += !RunLoop::isMainThread();
          t.setObject("rendered", "result");
        },
        [&](DispatchTask& t) {
          ++completions;
          completedOnMain +=
              RunLoop::isMainThread() && *t.objectForKey("result").string() == "rendered";
        }));
  EXPECT_TRUE(runMainLoopUntil([&] { return completions == kTasks; }));
  EXPECT_EQ(executedOffMain, kTasks);
  EXPECT_EQ(completedOnMain, kTasks);
  // A task leaves the list just after its completion block returns.
  EXPECT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 0; }));
  // A completion may add the next task.
  std::vector<int> chained;
  std::function<void(int)> chain = [&](int step) {
    tools.addTask(DispatchTask::taskWithExecuteBlock(noop, [&, step](DispatchTask&) {
      chained.push_back(step);
      if (step < 5) chain(step + 1);
    }));
  };
  chain(1);
  EXPECT_TRUE(runMainLoopUntil([&] { return chained.size() == 5; }));
  EXPECT_EQ(chained, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(DispatchToolsTest, NetworkTasksShareTheirSlotsTheQueueBeginGoesFirstAndCancelFinishesAll) {
  DispatchTools tools;
  NetworkLog log;
  log.add(tools, {"a", "b", "c", "d", "e"});
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 3; }));
  settle();
  EXPECT_EQ(log.started.size(), 3u);
  EXPECT_EQ(tools.freeNetworkSlots(), 0);
  EXPECT_EQ(tools.taskCount(), 5u);
  // One finishes: its completion runs at once on the main thread, and the next waiting starts.
  log.started[1]->finishNetworkTask();
  EXPECT_EQ(log.completed, std::vector<std::string>{"b"});
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 4; }));
  EXPECT_EQ(log.startedName(3), "d");
  // Cancelling all finishes what waits at once and flags what runs, which finishes itself.
  tools.cancelAllTasks();
  // A waiting task leaves the list just after its completion.
  ASSERT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 3; }));
  EXPECT_EQ(log.completed, (std::vector<std::string>{"b", "e"}));
  EXPECT_EQ(log.started.size(), 4u);
  for (size_t i : {0, 2, 3}) {
    EXPECT_TRUE(log.started[i]->isCancelled());
    log.started[i]->finishNetworkTask();
  }
  EXPECT_EQ(log.completed, (std::vector<std::string>{"b", "e", "a", "c", "d"}));
  EXPECT_FALSE(log.offMain);
  EXPECT_EQ(tools.taskCount(), 0u);
  EXPECT_EQ(tools.freeNetworkSlots(), 3);
  // With one slot, set before the first task and never again, the queue's begin goes first.
  DispatchTools single;
  single.setMaxNetworkTasks(1);
  single.setMaxNetworkTasks(5);  // too late: no effect
  NetworkLog queue;
  queue.add(single, {"a", "b"});
  ASSERT_TRUE(runMainLoopUntil([&] { return queue.started.size() == 1; }));
  single.addTaskToQueueBegin(queue.task("urgent"));
  single.addTaskToQueueBegin(queue.task("most urgent"));
  settle();
  EXPECT_EQ(queue.started.size(), 1u);
  for (const char* next : {"most urgent", "urgent", "b"}) {
    size_t n = queue.started.size();
    queue.started.back()->finishNetworkTask();
    ASSERT_TRUE(runMainLoopUntil([&] { return queue.started.size() == n + 1; }));
    EXPECT_EQ(queue.startedName(n), next);
  }
  queue.started.back()->finishNetworkTask();
  EXPECT_EQ(single.taskCount(), 0u);
  EXPECT_EQ(single.freeNetworkSlots(), 1);
}

TEST(DispatchToolsTest, ACancelledLocalTaskCompletesWithoutRunning) {
  DispatchTools tools;
  std::binary_semaphore release(0);
  std::atomic<bool> blockerRunning{false};
  int completions = 0, cancelledSeen = 0;
  bool executed = false;
  auto count = [&](DispatchTask& t) { ++completions, cancelledSeen += t.isCancelled(); };
  tools.addTask(DispatchTask::taskWithExecuteBlock(
      [&](DispatchTask&) { blockerRunning = true, release.acquire(); }, count));
  ASSERT_TRUE(runMainLoopUntil([&] { return blockerRunning.load(); }));
  // The worker is busy with the blocker's batch, so this task waits for the next batch; the
  // other is cancelled before it is added.
  auto waiting = DispatchTask::taskWithExecuteBlock([&](DispatchTask&) { executed = true; }, count);
  auto early = DispatchTask::taskWithExecuteBlock([&](DispatchTask&) { executed = true; }, count);
  tools.addTask(waiting);
  waiting->cancelTask();
  release.release();
  early->cancelTask();
  tools.addTask(early);
  EXPECT_TRUE(runMainLoopUntil([&] { return completions == 3; }));
  settle();
  EXPECT_EQ(completions, 3);
  EXPECT_EQ(cancelledSeen, 2);
  EXPECT_FALSE(executed);
  EXPECT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 0; }));
}

TEST(DispatchToolsTest, NetworkTasksFinishOnceAndCancelledOnesTakeNoSlot) {
  DispatchTools tools;
  NetworkLog log;
  log.add(tools, {"a", "b", "c"});
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 3; }));
  // Waiting for a slot, then cancelled: finished at once, slots untouched.
  int waitingCompletions = 0, earlyCompletions = 0;
  auto waiting = CountingNetworkTask::make(waitingCompletions);
  tools.addTask(waiting);
  settle();
  waiting->cancelTask();
  ASSERT_TRUE(runMainLoopUntil([&] { return waitingCompletions == 1; }));
  EXPECT_EQ(waiting->finishCalls, 1);
  EXPECT_EQ(tools.freeNetworkSlots(), 0);
  for (DispatchTask* task : log.started) task->finishNetworkTask();
  // Cancelled before it was added, with slots free: still no slot taken.
  auto early = CountingNetworkTask::make(earlyCompletions);
  early->cancelTask();
  tools.addTask(early);
  ASSERT_TRUE(runMainLoopUntil([&] { return earlyCompletions == 1; }));
  EXPECT_EQ(early->finishCalls, 1);
  EXPECT_EQ(tools.freeNetworkSlots(), 3);
  settle();
  EXPECT_EQ(waitingCompletions, 1);
  // Finished twice by its own block: completed once; added again when finished: not run.
  int completions = 0;
  auto twice = DispatchTask::networkTaskWithExecuteBlock(
      [](DispatchTask& t) { t.finishNetworkTask(), t.finishNetworkTask(); },
      [&](DispatchTask&) { ++completions; });
  tools.addTask(twice);
  ASSERT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 0; }));
  testing_support::ConsoleCapture console;
  tools.addTask(twice);  // with a console line
  tools.addTask(nullptr);
  settle();
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(console.lines().size(), 1u);
  EXPECT_EQ(tools.freeNetworkSlots(), 3);
  EXPECT_EQ(tools.taskCount(), 0u);
}
