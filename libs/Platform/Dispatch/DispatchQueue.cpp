#include "Dispatch/DispatchQueue.h"

#include <pthread.h>

#include <memory>
#include <semaphore>

namespace platform {

DispatchQueue::DispatchQueue(std::string label) : _label(std::move(label)) {}

DispatchQueue::~DispatchQueue() {
  {
    std::lock_guard lock(_mutex);
    _stopping = true;
  }
  _changed.notify_all();
  if (_thread.joinable()) {
    if (_thread.get_id() == std::this_thread::get_id()) {
      _thread.detach();  // destroyed by its own block: nothing left to wait for
    } else {
      _thread.join();
    }
  }
}

void DispatchQueue::startIfNeeded() {
  if (_thread.joinable()) return;
  _thread = std::thread([this] { drain(); });
  // Thread names are limited to 15 characters; the end of a reverse-DNS label says the most.
  std::string name = _label.size() > 15 ? _label.substr(_label.size() - 15) : _label;
  pthread_setname_np(_thread.native_handle(), name.c_str());
}

void DispatchQueue::async(std::function<void()> block) {
  if (!block) return;
  {
    std::lock_guard lock(_mutex);
    _blocks.push_back(std::move(block));
    startIfNeeded();
  }
  _changed.notify_all();
}

void DispatchQueue::sync(const std::function<void()>& block) {
  if (!block) return;
  if (isCurrent()) {
    block();
    return;
  }
  {
    std::unique_lock lock(_mutex);
    if (!_busy && _blocks.empty()) {
      _busy = true;
      _runningOn = std::this_thread::get_id();
      lock.unlock();
      block();
      lock.lock();
      _busy = false;
      _runningOn = {};
      bool queued = !_blocks.empty();
      lock.unlock();
      if (queued) _changed.notify_all();
      return;
    }
  }
  // Shared: release() may still run after acquire() returns.
  auto done = std::make_shared<std::binary_semaphore>(0);
  async([done, &block] {
    block();
    done->release();
  });
  done->acquire();
}

bool DispatchQueue::isCurrent() const {
  std::lock_guard lock(_mutex);
  return _busy && _runningOn == std::this_thread::get_id();
}

void DispatchQueue::drain() {
  std::unique_lock lock(_mutex);
  while (true) {
    _changed.wait(lock, [this] { return !_busy && (_stopping || !_blocks.empty()); });
    if (_blocks.empty()) return;  // stopping, and everything submitted has run
    auto block = std::move(_blocks.front());
    _blocks.pop_front();
    _busy = true;
    _runningOn = std::this_thread::get_id();
    lock.unlock();
    block();
    block = nullptr;
    lock.lock();
    _busy = false;
    _runningOn = {};
  }
}

}  // namespace platform
