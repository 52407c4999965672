#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "Content/ContentDownloadConveyor.h"
#include "Foundation/NotificationCenter.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::runMainLoopUntil;

namespace {

// Network tasks that start when the runner starts them and end when the test says so.
struct ManualTasks {
  std::vector<std::string> started;
  std::vector<std::string> completed;
  std::map<std::string, DispatchTask*> running;

  std::shared_ptr<DispatchTask> task(const std::string& name) {
    auto task = DispatchTask::networkTaskWithExecuteBlock(
        [this, name](DispatchTask& t) {
          started.push_back(name);
          running[name] = &t;
        },
        [this, name](DispatchTask&) { completed.push_back(name); });
    return task;
  }
  void finish(const std::string& name) {
    ASSERT_TRUE(running.count(name)) << name << " is not running";
    DispatchTask* task = running[name];
    running.erase(name);
    task->finishNetworkTask();
  }
  bool isRunning(const std::string& name) const { return running.count(name) > 0; }
};

// Counts the conveyor's finished notifications.
struct FinishedCounter {
  int count = 0;
  FinishedCounter() {
    NotificationCenter::defaultCenter().addObserver(
        this, ContentDownloadConveyor::kContentDownloadConveyorFinished, nullptr,
        [this](const Notification&) { ++count; });
  }
  ~FinishedCounter() { NotificationCenter::defaultCenter().removeObserver(this); }
};

// Runs the conveyor to its end, finishing each group's tasks as they start; returns the order
// in which the groups started (by the name of their first task).
std::vector<std::string> drain(ContentDownloadConveyor& conveyor, ManualTasks& tasks) {
  std::vector<std::string> order;
  conveyor.startConveyor();
  while (conveyor.isRuning()) {
    if (!runMainLoopUntil([&] { return !tasks.running.empty() || !conveyor.isRuning(); })) break;
    if (tasks.running.empty()) break;
    order.push_back(tasks.running.begin()->first);
    for (auto names = tasks.running; const auto& entry : names) tasks.finish(entry.first);
  }
  return order;
}

}  // namespace

TEST(ContentDownloadConveyorTest, GroupsGoByTheModesPrioritiesTiesToTheLowerType) {
  struct Case {
    void (ContentDownloadConveyor::*mode)();
    std::vector<ContentType> lines;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {&ContentDownloadConveyor::setAutomaticMode,
       {ContentTypeTBFrame, ContentTypeClipart, ContentTypeBackground},
       {"type0", "type2", "type4"}},
      {&ContentDownloadConveyor::setClipartsMode,
       {ContentTypeTBFrame, ContentTypeClipart, ContentTypeBackground},
       {"type2", "type0", "type4"}},
      {&ContentDownloadConveyor::setPhotoFramesMode,
       {ContentTypeTBFrame, ContentTypeBackground},
       {"type0", "type4"}},
      {&ContentDownloadConveyor::setFaceEffectsMode,
       {ContentTypeClipart, ContentTypeFaceEffect, ContentTypePhotoFrame, ContentTypeBackground},
       {"type3", "type0", "type1", "type2"}},
      {&ContentDownloadConveyor::setBackgroundsMode,
       {ContentTypeTBFrame, ContentTypeFaceEffect, ContentTypeClipart, ContentTypeBackground},
       {"type0", "type3", "type4", "type2"}},
  };
  for (const Case& c : cases) {
    auto conveyor = std::make_shared<ContentDownloadConveyor>();
    ManualTasks tasks;
    (conveyor.get()->*c.mode)();
    for (ContentType type : c.lines)
      conveyor->addDownloadGroup({tasks.task("type" + std::to_string(type))}, type, nullptr);
    EXPECT_EQ(drain(*conveyor, tasks), c.expected);
    EXPECT_FALSE(conveyor->isRuning());
  }
}

TEST(ContentDownloadConveyorTest, OneGroupAtATimeEachCompletingOnceAfterItsLastFile) {
  auto conveyor = std::make_shared<ContentDownloadConveyor>();
  ManualTasks tasks;
  FinishedCounter finished;
  std::vector<std::string> groupsDone;
  conveyor->addDownloadGroup(
      {tasks.task("fon1.png"), tasks.task("fon1_small.png"), tasks.task("fon1_mask.jpg")},
      ContentTypeBackground, [&] { groupsDone.push_back("fon1"); });
  conveyor->addDownloadGroup({tasks.task("frame1.png")}, ContentTypePhotoFrame,
                             [&] { groupsDone.push_back("frame1"); });
  // Dropped: not content.
  conveyor->addContentBox(
      ContentDownloadBox::boxWithTasks({tasks.task("x")}, ContentTypeNone, nullptr));
  EXPECT_EQ(conveyor->lineWithType(ContentTypeNone), nullptr);
  EXPECT_EQ(conveyor->lineWithType(ContentTypeBackground)->size(), 1u);

  conveyor->startConveyor();
  conveyor->startConveyor();  // already running: nothing more happens
  ASSERT_TRUE(runMainLoopUntil([&] { return tasks.running.size() == 3; }));
  RunLoop::main().runUntil([] { return false; }, 0.05);
  EXPECT_EQ(tasks.started.size(), 3u);  // the frame waits for the whole background group

  // The group's own files end in any order; it completes after the last of them.
  tasks.finish("fon1_mask.jpg");
  tasks.finish("fon1.png");
  RunLoop::main().runUntil([] { return false; }, 0.05);
  EXPECT_TRUE(groupsDone.empty());
  EXPECT_FALSE(tasks.isRunning("frame1.png"));
  tasks.finish("fon1_small.png");
  ASSERT_TRUE(runMainLoopUntil([&] { return tasks.isRunning("frame1.png"); }));
  EXPECT_EQ(groupsDone, std::vector<std::string>{"fon1"});
  EXPECT_TRUE(conveyor->lineWithType(ContentTypeBackground)->empty());
  // The tasks' own completions ran before the group's.
  EXPECT_EQ(tasks.completed.size(), 3u);

  // A mode change affects only the choice of the next group.
  conveyor->addDownloadGroup({tasks.task("clipart1.png")}, ContentTypeClipart,
                             [&] { groupsDone.push_back("clipart1"); });
  conveyor->setClipartsMode();
  EXPECT_EQ(finished.count, 0);
  tasks.finish("frame1.png");
  ASSERT_TRUE(runMainLoopUntil([&] { return tasks.isRunning("clipart1.png"); }));
  tasks.finish("clipart1.png");
  ASSERT_TRUE(runMainLoopUntil([&] { return !conveyor->isRuning(); }));
  EXPECT_EQ(groupsDone, (std::vector<std::string>{"fon1", "frame1", "clipart1"}));
  EXPECT_EQ(finished.count, 1);
  EXPECT_EQ(DispatchTools::Instance().taskCount(), 0u);
}

TEST(ContentDownloadConveyorTest, EmptyConveyorsStopAtOnceAndClearedGroupsStillReport) {
  FinishedCounter finished;
  auto empty = std::make_shared<ContentDownloadConveyor>();
  empty->startConveyor();
  EXPECT_EQ(finished.count, 1);
  EXPECT_FALSE(empty->isRuning());

  // A group without files reports on its own instead of stalling the conveyor.
  auto conveyor = std::make_shared<ContentDownloadConveyor>();
  ManualTasks tasks;
  int emptyGroups = 0;
  conveyor->addDownloadGroup({}, ContentTypeFaceEffect, [&] { ++emptyGroups; });
  conveyor->startConveyor();
  ASSERT_TRUE(runMainLoopUntil([&] { return !conveyor->isRuning(); }));
  EXPECT_EQ(emptyGroups, 1);
  EXPECT_EQ(finished.count, 2);

  // Stopped and cleared while a group is under way: the group still ends and reports, and a
  // new run it then advances.
  int firstDone = 0;
  conveyor->addDownloadGroup({tasks.task("face1.png")}, ContentTypeFaceEffect,
                             [&] { ++firstDone; });
  conveyor->startConveyor();
  ASSERT_TRUE(runMainLoopUntil([&] { return tasks.isRunning("face1.png"); }));
  conveyor->stopConveyor();
  conveyor->clearLines();
  conveyor->addDownloadGroup({tasks.task("face2.png")}, ContentTypeFaceEffect, nullptr);
  conveyor->startConveyor();
  ASSERT_TRUE(runMainLoopUntil([&] { return tasks.isRunning("face2.png"); }));
  tasks.finish("face1.png");
  ASSERT_TRUE(runMainLoopUntil([&] { return firstDone == 1; }));
  tasks.finish("face2.png");
  ASSERT_TRUE(runMainLoopUntil([&] { return !conveyor->isRuning(); }));
  EXPECT_EQ(finished.count, 3);
}
