#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

// A labelled serial queue: blocks run one at a time, in submission order. Asynchronous blocks run
// on the queue's own thread (started on first use); a synchronous block runs on the caller's
// thread when the queue is idle, as the platform's queues do, which saves two thread switches.
// Destroying the queue runs what was already submitted first.
class DispatchQueue {
 public:
  explicit DispatchQueue(std::string label);
  ~DispatchQueue();

  const std::string& label() const { return _label; }

  void async(std::function<void()> block);
  // Runs `block` on the queue and waits for it. Called from a block of this same queue it runs
  // at once instead of deadlocking.
  void sync(const std::function<void()>& block);
  // Whether the caller is running a block of this queue.
  bool isCurrent() const;

  DispatchQueue(const DispatchQueue&) = delete;
  DispatchQueue& operator=(const DispatchQueue&) = delete;

 private:
  void startIfNeeded();  // with _mutex held
  void drain();

  const std::string _label;
  mutable std::mutex _mutex;
  std::condition_variable _changed;
  std::deque<std::function<void()>> _blocks;
  std::thread _thread;
  bool _busy = false;          // a block of this queue is running ...
  std::thread::id _runningOn;  // ... on this thread
  bool _stopping = false;
};

}  // namespace platform
