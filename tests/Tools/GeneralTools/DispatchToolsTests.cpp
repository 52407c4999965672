#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <semaphore>
#include <thread>

#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"
#include "GeneralTools/QueueProvider.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::runMainLoopUntil;

namespace {

// A network task subclass that counts its finishNetworkTask calls, as download tasks override it.
class CountingNetworkTask : public DispatchTask {
 public:
  static std::shared_ptr<CountingNetworkTask> make(Block execute, Block complete) {
    return std::shared_ptr<CountingNetworkTask>(
        new CountingNetworkTask(std::move(execute), std::move(complete)));
  }
  void finishNetworkTask() override {
    ++finishCalls;
    DispatchTask::finishNetworkTask();
  }
  int finishCalls = 0;

 private:
  CountingNetworkTask(Block execute, Block complete)
      : DispatchTask(std::move(execute), std::move(complete), true) {}
};

// Records which network tasks started and which completed; all on the main thread.
struct NetworkLog {
  std::vector<DispatchTask*> started;
  std::vector<std::string> completed;
  bool offMain = false;

  std::shared_ptr<DispatchTask> task(const std::string& name) {
    auto task = DispatchTask::networkTaskWithExecuteBlock(
        [this](DispatchTask& t) {
          if (!RunLoop::isMainThread()) offMain = true;
          started.push_back(&t);
        },
        [this, name](DispatchTask&) {
          if (!RunLoop::isMainThread()) offMain = true;
          completed.push_back(name);
        });
    task->setObject(name, "name");
    return task;
  }
  std::string startedName(size_t i) const { return *started.at(i)->objectForKey("name").string(); }
};

// Lets the runner's threads do whatever they would do next.
void settle() {
  RunLoop::main().runUntil([] { return false; }, 0.05);
}

}  // namespace

TEST(DispatchTaskTest, ATaskIsADictionaryThatNeedsBothBlocks) {
  auto noop = [](DispatchTask&) {};
  EXPECT_FALSE(DispatchTask::taskWithExecuteBlock(nullptr, noop));
  EXPECT_FALSE(DispatchTask::networkTaskWithExecuteBlock(noop, nullptr));
  auto task = DispatchTask::taskWithExecuteBlock(noop, noop);
  ASSERT_TRUE(task);
  EXPECT_FALSE(task->isNetwork());
  EXPECT_TRUE(DispatchTask::networkTaskWithExecuteBlock(noop, noop)->isNetwork());
  task->setObject("http://example.invalid/a", "url");
  task->setObject(3, "attempt");
  task->setObject(4, "attempt");
  EXPECT_EQ(task->count(), 2u);
  EXPECT_EQ(task->keyEnumerator(), (std::vector<std::string>{"attempt", "url"}));
  EXPECT_EQ(task->objectForKey("attempt").integerValue(), 4);
  task->removeObjectForKey("attempt");
  task->removeObjectForKey("never there");
  EXPECT_TRUE(task->objectForKey("attempt").isNull());
  EXPECT_EQ(task->description(), "<DispatchTask>");
  EXPECT_FALSE(task->isCancelled());
  task->cancelTask();
  EXPECT_TRUE(task->isCancelled());
}

TEST(DispatchToolsTest, LocalTasksRunOffTheMainThreadAndCompleteOnIt) {
  DispatchTools tools;
  constexpr int kTasks = 200;
  std::atomic<int> executedOffMain{0};
  int completedOnMain = 0, completions = 0;
  for (int i = 0; i < kTasks; ++i) {
    auto task = DispatchTask::taskWithExecuteBlock(
        [&](DispatchTask& t) {
          if (!RunLoop::isMainThread()) ++executedOffMain;
          t.setObject("rendered", "result");
        },
        [&](DispatchTask& t) {
          ++completions;
          if (RunLoop::isMainThread() && *t.objectForKey("result").string() == "rendered")
            ++completedOnMain;
        });
    tools.addTask(task);
  }
  EXPECT_TRUE(runMainLoopUntil([&] { return completions == kTasks; }));
  EXPECT_EQ(executedOffMain, kTasks);
  EXPECT_EQ(completedOnMain, kTasks);
  // A task leaves the list just after its completion block returns.
  EXPECT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 0; }));
}

TEST(DispatchToolsTest, FiveNetworkTasksShareThreeSlots) {
  DispatchTools tools;
  NetworkLog log;
  std::vector<std::shared_ptr<DispatchTask>> tasks;
  for (const char* name : {"a", "b", "c", "d", "e"}) {
    tasks.push_back(log.task(name));
    tools.addTask(tasks.back());
  }
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 3; }));
  settle();
  EXPECT_EQ(log.started.size(), 3u);
  EXPECT_EQ(tools.freeNetworkSlots(), 0);
  EXPECT_EQ(tools.taskCount(), 5u);
  EXPECT_FALSE(tasks[3]->isStarted());
  EXPECT_FALSE(tasks[4]->isStarted());
  EXPECT_EQ(log.startedName(0), "a");
  EXPECT_EQ(log.startedName(2), "c");

  // One finishes: its completion runs at once on the main thread, and the next waiting starts.
  log.started[1]->finishNetworkTask();
  EXPECT_EQ(log.completed, std::vector<std::string>{"b"});
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 4; }));
  EXPECT_EQ(log.startedName(3), "d");
  settle();
  EXPECT_EQ(log.started.size(), 4u);

  for (size_t i : {0, 2, 3}) log.started[i]->finishNetworkTask();
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 5; }));
  log.started[4]->finishNetworkTask();
  EXPECT_EQ(log.completed, (std::vector<std::string>{"b", "a", "c", "d", "e"}));
  EXPECT_FALSE(log.offMain);
  EXPECT_EQ(tools.taskCount(), 0u);
  EXPECT_EQ(tools.freeNetworkSlots(), 3);
}

TEST(DispatchToolsTest, ANetworkTaskFinishesAtMostOnce) {
  DispatchTools tools;
  int completions = 0;
  auto task = DispatchTask::networkTaskWithExecuteBlock(
      [](DispatchTask& t) {
        t.finishNetworkTask();
        t.finishNetworkTask();
      },
      [&](DispatchTask&) { ++completions; });
  tools.addTask(task);
  ASSERT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 0; }));
  settle();
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(tools.freeNetworkSlots(), 3);
  // A finished task added again is not run again.
  testing_support::ConsoleCapture console;
  tools.addTask(task);
  settle();
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(tools.taskCount(), 0u);
  EXPECT_EQ(console.lines().size(), 1u);
  tools.addTask(nullptr);  // adds nothing
  EXPECT_EQ(tools.taskCount(), 0u);
}

TEST(DispatchToolsTest, ACancelledLocalTaskCompletesWithoutRunning) {
  DispatchTools tools;
  std::binary_semaphore release(0);
  std::atomic<bool> blockerRunning{false};
  int completions = 0;
  bool executed = false, cancelledSeenInCompletion = false;
  auto blocker = DispatchTask::taskWithExecuteBlock(
      [&](DispatchTask&) {
        blockerRunning = true;
        release.acquire();
      },
      [&](DispatchTask&) { ++completions; });
  tools.addTask(blocker);
  ASSERT_TRUE(runMainLoopUntil([&] { return blockerRunning.load(); }));

  // The worker is busy with the blocker's batch, so this task waits for the next batch.
  auto waiting = DispatchTask::taskWithExecuteBlock([&](DispatchTask&) { executed = true; },
                                                    [&](DispatchTask& t) {
                                                      ++completions;
                                                      cancelledSeenInCompletion = t.isCancelled();
                                                    });
  tools.addTask(waiting);
  waiting->cancelTask();
  EXPECT_FALSE(waiting->isStarted());
  release.release();

  // Cancelled even before it was added: the same.
  auto early = DispatchTask::taskWithExecuteBlock([&](DispatchTask&) { executed = true; },
                                                  [&](DispatchTask&) { ++completions; });
  early->cancelTask();
  tools.addTask(early);

  EXPECT_TRUE(runMainLoopUntil([&] { return completions == 3; }));
  settle();
  EXPECT_EQ(completions, 3);
  EXPECT_FALSE(executed);
  EXPECT_TRUE(cancelledSeenInCompletion);
  EXPECT_TRUE(waiting->isStarted());
  EXPECT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 0; }));
}

TEST(DispatchToolsTest, ACancelledNetworkTaskFinishesWithoutASlot) {
  DispatchTools tools;
  NetworkLog log;
  for (const char* name : {"a", "b", "c"}) tools.addTask(log.task(name));
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 3; }));

  // Waiting for a slot, then cancelled: finished at once, slots untouched.
  int waitingCompletions = 0;
  auto waiting = CountingNetworkTask::make([&](DispatchTask&) { FAIL() << "must not run"; },
                                           [&](DispatchTask&) { ++waitingCompletions; });
  tools.addTask(waiting);
  settle();
  EXPECT_FALSE(waiting->isStarted());
  waiting->cancelTask();
  ASSERT_TRUE(runMainLoopUntil([&] { return waitingCompletions == 1; }));
  EXPECT_EQ(waiting->finishCalls, 1);
  EXPECT_EQ(tools.freeNetworkSlots(), 0);
  EXPECT_EQ(log.started.size(), 3u);

  for (DispatchTask* task : log.started) task->finishNetworkTask();
  EXPECT_EQ(tools.freeNetworkSlots(), 3);

  // Cancelled before it was added, with slots free: still no slot taken.
  int earlyCompletions = 0;
  auto early = CountingNetworkTask::make([&](DispatchTask&) { FAIL() << "must not run"; },
                                         [&](DispatchTask&) { ++earlyCompletions; });
  early->cancelTask();
  tools.addTask(early);
  ASSERT_TRUE(runMainLoopUntil([&] { return earlyCompletions == 1; }));
  EXPECT_EQ(early->finishCalls, 1);
  EXPECT_EQ(tools.freeNetworkSlots(), 3);
  settle();
  EXPECT_EQ(waitingCompletions, 1);
  EXPECT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 0; }));
}

TEST(DispatchToolsTest, AddToQueueBeginIsTakenFirst) {
  DispatchTools tools;
  NetworkLog log;
  for (const char* name : {"a", "b", "c", "d", "e"}) tools.addTask(log.task(name));
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 3; }));
  tools.addTaskToQueueBegin(log.task("urgent"));
  tools.addTaskToQueueBegin(log.task("most urgent"));
  settle();
  EXPECT_EQ(log.started.size(), 3u);

  log.started[0]->finishNetworkTask();
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 4; }));
  EXPECT_EQ(log.startedName(3), "most urgent");
  log.started[1]->finishNetworkTask();
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 5; }));
  EXPECT_EQ(log.startedName(4), "urgent");
  log.started[2]->finishNetworkTask();
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 6; }));
  EXPECT_EQ(log.startedName(5), "d");

  for (size_t i = 3; i < 6; ++i) log.started[i]->finishNetworkTask();
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 7; }));
  EXPECT_EQ(log.startedName(6), "e");
  log.started[6]->finishNetworkTask();
  EXPECT_EQ(tools.taskCount(), 0u);
}

TEST(DispatchToolsTest, ACompletionCanAddTheNextTask) {
  DispatchTools tools;
  std::vector<int> completed;
  std::function<void(int)> chain = [&](int step) {
    tools.addTask(DispatchTask::taskWithExecuteBlock([](DispatchTask&) {},
                                                     [&, step](DispatchTask&) {
                                                       completed.push_back(step);
                                                       if (step < 5) chain(step + 1);
                                                     }));
  };
  chain(1);
  EXPECT_TRUE(runMainLoopUntil([&] { return completed.size() == 5; }));
  EXPECT_EQ(completed, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 0; }));
}

TEST(DispatchToolsTest, CancelAllTasksStopsWhatWaitsAndFlagsWhatRuns) {
  DispatchTools tools;
  NetworkLog log;
  std::vector<std::shared_ptr<DispatchTask>> tasks;
  for (const char* name : {"a", "b", "c", "d", "e"}) {
    tasks.push_back(log.task(name));
    tools.addTask(tasks.back());
  }
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 3; }));
  tools.cancelAllTasks();
  ASSERT_TRUE(runMainLoopUntil([&] { return log.completed.size() == 2; }));
  // The two may finish in either order: one can be cancelled while the other is being started.
  std::sort(log.completed.begin(), log.completed.end());
  EXPECT_EQ(log.completed, (std::vector<std::string>{"d", "e"}));
  EXPECT_TRUE(runMainLoopUntil([&] { return tools.taskCount() == 3; }));
  EXPECT_EQ(log.started.size(), 3u);
  for (DispatchTask* running : log.started) {
    EXPECT_TRUE(running->isCancelled());
    running->finishNetworkTask();
  }
  EXPECT_EQ(tools.taskCount(), 0u);
  EXPECT_EQ(tools.freeNetworkSlots(), 3);
}

TEST(DispatchToolsTest, TheNumberOfSlotsIsSetOnce) {
  DispatchTools tools;
  tools.setMaxNetworkTasks(1);
  tools.setMaxNetworkTasks(5);  // too late: no effect
  NetworkLog log;
  for (const char* name : {"a", "b"}) tools.addTask(log.task(name));
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 1; }));
  settle();
  EXPECT_EQ(log.started.size(), 1u);
  log.started[0]->finishNetworkTask();
  ASSERT_TRUE(runMainLoopUntil([&] { return log.started.size() == 2; }));
  log.started[1]->finishNetworkTask();
  EXPECT_EQ(tools.freeNetworkSlots(), 1);
}

TEST(DispatchToolsTest, DoOnMainThread) {
  bool ranInline = false;
  DispatchTools::doOnMainThread([&] { ranInline = true; });
  EXPECT_TRUE(ranInline);
  std::atomic<bool> done{false};
  bool onMain = false;
  std::thread background([&] {
    DispatchTools::doOnMainThread([&] { onMain = RunLoop::isMainThread(); });
    done = true;
  });
  EXPECT_TRUE(runMainLoopUntil([&] { return done.load(); }));
  background.join();
  EXPECT_TRUE(onMain);
}

TEST(QueueProviderTest, OneSharedSerialQueue) {
  DispatchQueue& queue = QueueProvider::Instance().downloadContentQueue();
  EXPECT_EQ(&queue, &QueueProvider::Instance().downloadContentQueue());
  EXPECT_EQ(queue.label(), "com.quillon.download_content_queue");
  bool ran = false;
  queue.sync([&] { ran = queue.isCurrent(); });
  EXPECT_TRUE(ran);
}
