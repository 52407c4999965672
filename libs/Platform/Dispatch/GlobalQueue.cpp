#include "Dispatch/GlobalQueue.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace platform {

GlobalQueue& GlobalQueue::defaultPriority() {
  // Blocks may still be running when the process exits, so the pool is never destroyed.
  static GlobalQueue* queue =
      new GlobalQueue(std::max<size_t>(4, std::thread::hardware_concurrency()));
  return *queue;
}

GlobalQueue::GlobalQueue(size_t threadCount) : _threadCount(threadCount) {
  for (size_t i = 0; i < threadCount; ++i) {
    std::thread worker([this] { work(); });
    pthread_setname_np(worker.native_handle(), "global.default");
    worker.detach();
  }
}

void GlobalQueue::async(std::function<void()> block) {
  if (!block) return;
  {
    std::lock_guard lock(_mutex);
    _blocks.push_back(std::move(block));
  }
  _available.notify_one();
}

void GlobalQueue::work() {
  while (true) {
    std::function<void()> block;
    {
      std::unique_lock lock(_mutex);
      _available.wait(lock, [this] { return !_blocks.empty(); });
      block = std::move(_blocks.front());
      _blocks.pop_front();
    }
    block();
  }
}

void GlobalQueue::apply(size_t count, const std::function<void(size_t)>& body) {
  if (count == 0 || !body) return;
  struct Shared {
    std::atomic<size_t> next{0};
    size_t finished = 0;
    std::mutex mutex;
    std::condition_variable allDone;
  };
  auto shared = std::make_shared<Shared>();
  // Helpers outlive nothing they touch: they only run iterations that the caller is still
  // waiting for, and late helpers find no index left.
  auto runIterations = [shared, &body, count] {
    size_t done = 0;
    for (size_t i = shared->next++; i < count; i = shared->next++) {
      body(i);
      ++done;
    }
    if (done == 0) return;
    std::lock_guard lock(shared->mutex);
    shared->finished += done;
    if (shared->finished == count) shared->allDone.notify_all();
  };
  size_t helpers = std::min(count - 1, _threadCount);
  for (size_t i = 0; i < helpers; ++i) async(runIterations);
  runIterations();
  std::unique_lock lock(shared->mutex);
  shared->allDone.wait(lock, [&] { return shared->finished == count; });
}

}  // namespace platform
