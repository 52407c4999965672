#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "Dispatch/DispatchQueue.h"
#include "GeneralTools/DispatchTask.h"

// Runs DispatchTasks: one ordered list of added, unfinished tasks; local tasks start in parallel
// batches on the global queue, network tasks start on the main thread with at most three
// running at once, and every completion block runs on the main thread.
//
// The list is kept as three ordered maps keyed by list position (all tasks, tasks never tried,
// network tasks that found no free slot), so that collecting a batch and finishing a task cost
// the same whatever the list's length. Waiting network tasks are tried again when a slot is
// released or when one of them is cancelled, in list order.
class DispatchTools {
 public:
  static constexpr long kDefaultMaxNetworkTasks = 3;

  static DispatchTools& Instance();

  // A runner of its own; the process's one is Instance(). It must outlive its tasks.
  DispatchTools();
  ~DispatchTools();
  DispatchTools(const DispatchTools&) = delete;
  DispatchTools& operator=(const DispatchTools&) = delete;

  // Appends the task to the list and starts processing. A null task adds nothing.
  void addTask(std::shared_ptr<DispatchTask> task);
  // Inserts the task at the front of the list: it is taken first by the next batch.
  void addTaskToQueueBegin(std::shared_ptr<DispatchTask> task);
  void cancelAllTasks();
  // Completes a task, at most once: its completion block on the main thread (the caller waits),
  // then its network slot is released and it leaves the list.
  void finishTask(const std::shared_ptr<DispatchTask>& task);
  // Sets the number of network slots; only before the first network task.
  void setMaxNetworkTasks(long count);
  // Runs the block on the main thread: at once when called there, else waiting for it.
  static void doOnMainThread(const std::function<void()>& block);

  // For tests and diagnostics.
  size_t taskCount() const;
  long freeNetworkSlots() const;

 private:
  friend class DispatchTask;
  using TaskMap = std::map<std::int64_t, std::shared_ptr<DispatchTask>>;

  void insertTask(std::shared_ptr<DispatchTask> task, bool atFront);
  void processGeneralTasks();
  void runBatch();
  void doTask(const std::shared_ptr<DispatchTask>& task);
  void taskWasCancelled(DispatchTask& task);
  // On _tasks_queue only.
  long freeSlotsOnQueue() const;

  // The maps and the slot count below are only touched on _tasks_queue.
  TaskMap _tasks;
  TaskMap _untried;
  TaskMap _waitingForSlot;
  std::int64_t _frontPosition = 0;
  std::int64_t _backPosition = 0;
  bool _batchScheduled = false;
  // Free network slots, fixed by the first setMaxNetworkTasks or the first network task. Read
  // as well as taken and given back, always on the queue: a count, not a blocking semaphore.
  std::optional<long> _networkSlots;
  // Declared last, destroyed first: pending batches drain while the lists still exist.
  mutable platform::DispatchQueue _tasks_queue{"com.brightmoor.gentools.generalTasks"};
  platform::DispatchQueue _tasks_worker{"com.brightmoor.gentools.generalTasksWorker"};
};
