#include "GeneralTools/DispatchTools.h"

#include <vector>

#include "Dispatch/GlobalQueue.h"
#include "Dispatch/MainThread.h"
#include "Foundation/Console.h"

DispatchTools& DispatchTools::Instance() {
  static DispatchTools* instance = new DispatchTools();  // lives until the process ends
  return *instance;
}

DispatchTools::DispatchTools() = default;

DispatchTools::~DispatchTools() = default;

void DispatchTools::doOnMainThread(const std::function<void()>& block) {
  platform::runOnMainThreadSync(block);
}

void DispatchTools::addTask(std::shared_ptr<DispatchTask> task) {
  insertTask(std::move(task), false);
}

void DispatchTools::addTaskToQueueBegin(std::shared_ptr<DispatchTask> task) {
  insertTask(std::move(task), true);
}

void DispatchTools::insertTask(std::shared_ptr<DispatchTask> task, bool atFront) {
  if (task) {
    _tasks_queue.sync([&] {
      DispatchTools* expected = nullptr;
      if (task->_finished || !task->_owner.compare_exchange_strong(expected, this)) {
        platform::Console::log("DispatchTools: a task was added twice; the second add is ignored");
        return;
      }
      std::int64_t position = atFront ? --_frontPosition : ++_backPosition;
      task->_position = position;
      _tasks.emplace(position, task);
      _untried.emplace(position, std::move(task));
    });
  }
  processGeneralTasks();
}

void DispatchTools::cancelAllTasks() {
  std::vector<std::shared_ptr<DispatchTask>> tasks;
  _tasks_queue.sync([&] {
    tasks.reserve(_tasks.size());
    for (const auto& entry : _tasks) tasks.push_back(entry.second);
  });
  for (const auto& task : tasks) task->cancelTask();
}

void DispatchTools::setMaxNetworkTasks(long count) {
  _tasks_queue.sync([&] {
    if (!_networkSlots) _networkSlots = count;
  });
}

long DispatchTools::freeSlotsOnQueue() const {
  return _networkSlots.value_or(kDefaultMaxNetworkTasks);
}

size_t DispatchTools::taskCount() const {
  size_t count = 0;
  _tasks_queue.sync([&] { count = _tasks.size(); });
  return count;
}

long DispatchTools::freeNetworkSlots() const {
  long slots = 0;
  _tasks_queue.sync([&] { slots = freeSlotsOnQueue(); });
  return slots;
}

void DispatchTools::processGeneralTasks() {
  bool submit = false;
  _tasks_queue.sync([&] {
    if (_batchScheduled) return;  // the batch already queued will collect everything
    if (!_untried.empty() || (!_waitingForSlot.empty() && freeSlotsOnQueue() > 0)) {
      _batchScheduled = true;
      submit = true;
    }
  });
  if (submit) _tasks_worker.async([this] { runBatch(); });
}

void DispatchTools::runBatch() {
  std::vector<std::shared_ptr<DispatchTask>> network, local;
  _tasks_queue.sync([&] {
    _batchScheduled = false;
    // Everything never tried, and as many waiting network tasks as there are free slots, in
    // list order.
    TaskMap batch = std::move(_untried);
    _untried.clear();
    for (long free = freeSlotsOnQueue(); free > 0 && !_waitingForSlot.empty(); --free)
      batch.insert(_waitingForSlot.extract(_waitingForSlot.begin()));
    for (auto& [position, task] : batch) (task->isNetwork() ? network : local).push_back(task);
  });
  // Network starts take slots in list order, one after the other (each runs on the main
  // thread anyway); local starts run in parallel.
  for (const auto& task : network) doTask(task);
  platform::dispatchApply(local.size(), [&](size_t i) { doTask(local[i]); });
  processGeneralTasks();
}

void DispatchTools::doTask(const std::shared_ptr<DispatchTask>& task) {
  if (task->isStarted()) return;
  if (!task->isNetwork()) {
    task->setIsStarted(true);
    if (!task->isCancelled()) task->executeBlock()(*task);
    finishTask(task);
    return;
  }
  if (task->isCancelled()) {
    task->setIsStarted(true);
    task->finishNetworkTask();
    return;
  }
  bool tookSlot = false;
  _tasks_queue.sync([&] {
    if (!_networkSlots) _networkSlots = kDefaultMaxNetworkTasks;
    tookSlot = *_networkSlots > 0;
    if (tookSlot) {
      --*_networkSlots;
      task->_holdsSlot = true;
    } else if (!task->_finished) {
      // A task cancelled meanwhile goes back to the untried ones, to be finished at once.
      (task->isCancelled() ? _untried : _waitingForSlot).emplace(task->_position, task);
    }
  });
  if (!tookSlot) return;
  task->setIsStarted(true);
  doOnMainThread([&] { task->executeBlock()(*task); });
}

void DispatchTools::finishTask(const std::shared_ptr<DispatchTask>& task) {
  if (!task || task->_finished.exchange(true)) return;
  task->setIsStarted(true);
  doOnMainThread([&] {
    if (task->completeBlock()) task->completeBlock()(*task);
  });
  _tasks_queue.sync([&] {
    if (task->_holdsSlot.exchange(false) && _networkSlots) ++*_networkSlots;
    if (task->_owner.load() == this) {
      _tasks.erase(task->_position);
      _untried.erase(task->_position);
      _waitingForSlot.erase(task->_position);
    }
  });
  processGeneralTasks();
}

void DispatchTools::taskWasCancelled(DispatchTask& task) {
  bool moved = false;
  _tasks_queue.sync([&] {
    auto waiting = _waitingForSlot.find(task._position);
    if (waiting == _waitingForSlot.end()) return;
    _untried.insert(_waitingForSlot.extract(waiting));
    moved = true;
  });
  if (moved) processGeneralTasks();
}
