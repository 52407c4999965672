#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace platform {

// The default-priority global concurrent queue: a fixed pool of worker threads shared by the
// whole process. It lives until the process ends.
class GlobalQueue {
 public:
  static GlobalQueue& defaultPriority();

  void async(std::function<void()> block);
  // Runs body(0) ... body(count - 1) in parallel and returns when every call has returned. The
  // caller runs iterations too, so apply() from inside the pool cannot starve itself.
  void apply(size_t count, const std::function<void(size_t)>& body);
  size_t threadCount() const { return _threadCount; }

  GlobalQueue(const GlobalQueue&) = delete;
  GlobalQueue& operator=(const GlobalQueue&) = delete;

 private:
  explicit GlobalQueue(size_t threadCount);
  void work();

  const size_t _threadCount;
  std::mutex _mutex;
  std::condition_variable _available;
  std::deque<std::function<void()>> _blocks;
};

// `apply` on the default-priority global queue.
inline void dispatchApply(size_t count, const std::function<void(size_t)>& body) {
  GlobalQueue::defaultPriority().apply(count, body);
}

}  // namespace platform
