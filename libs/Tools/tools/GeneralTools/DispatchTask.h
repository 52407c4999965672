#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/Value.h"

class DispatchTools;

// One unit of asynchronous work: a parameter dictionary with a block that does the work and a
// block that reports completion; both receive the task. A local task's work is synchronous
// inside its execute block; a network task's execute block only starts the work, which ends
// with finishNetworkTask(). Tasks are compared by identity.
//
// The blocks get the task as an argument, so they need not capture it: a block that holds the
// task's own pointer keeps the task alive forever.
class DispatchTask : public std::enable_shared_from_this<DispatchTask> {
 public:
  using Block = std::function<void(DispatchTask& task)>;

  // A local task; null when a block is missing (a task needs both).
  static std::shared_ptr<DispatchTask> taskWithExecuteBlock(Block execute, Block complete);
  // A network task; null when a block is missing.
  static std::shared_ptr<DispatchTask> networkTaskWithExecuteBlock(Block execute, Block complete);

  virtual ~DispatchTask();
  DispatchTask(const DispatchTask&) = delete;
  DispatchTask& operator=(const DispatchTask&) = delete;

  // Asks the task to stop: nothing is interrupted, but an unstarted task will not run its
  // execute block, and a running one may read isCancelled() and stop early.
  void cancelTask();
  // Ends a network task's work. Exactly one call per network task; a subclass overrides it to
  // release its resources and decode its result, and calls this base last.
  virtual void finishNetworkTask();

  const Block& completeBlock() const { return _completeBlock; }
  void setCompleteBlock(Block block) { _completeBlock = std::move(block); }
  const Block& executeBlock() const { return _executeBlock; }
  void setExecuteBlock(Block block) { _executeBlock = std::move(block); }
  bool isCancelled() const { return _isCancelled.load(); }
  bool isNetwork() const { return _isNetwork; }
  bool isStarted() const { return _isStarted.load(); }
  void setIsStarted(bool started) { _isStarted.store(started); }

  // The parameter dictionary. Safe from any thread.
  void setObject(platform::Value value, std::string_view key);
  platform::Value objectForKey(std::string_view key) const;
  void removeObjectForKey(std::string_view key);
  size_t count() const;
  std::vector<std::string> keyEnumerator() const;
  platform::Dictionary params() const;

  virtual std::string description() const { return "<DispatchTask>"; }

 protected:
  // For subclasses: `isNetwork` is fixed here (the network initializer passes true).
  DispatchTask(Block execute, Block complete, bool isNetwork);

 private:
  friend class DispatchTools;

  Block _completeBlock;
  Block _executeBlock;
  std::atomic<bool> _isCancelled{false};
  const bool _isNetwork;
  std::atomic<bool> _isStarted{false};
  mutable std::mutex _paramsMutex;
  platform::Dictionary _params;

  // The runner's bookkeeping; touched on the runner's list queue.
  std::atomic<DispatchTools*> _owner{nullptr};
  std::int64_t _position = 0;
  std::atomic<bool> _holdsSlot{false};
  std::atomic<bool> _finished{false};
};
