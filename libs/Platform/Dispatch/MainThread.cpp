#include "Dispatch/MainThread.h"

#include <condition_variable>
#include <memory>
#include <mutex>

#include "Foundation/RunLoop.h"

namespace platform {

void runOnMainThreadAsync(std::function<void()> block) {
  RunLoop::main().post(std::move(block));
}

void runOnMainThreadSync(const std::function<void()>& block) {
  if (!block) return;
  if (RunLoop::isMainThread()) {
    block();
    return;
  }
  struct Handshake {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
  };
  auto handshake = std::make_shared<Handshake>();
  RunLoop::main().post([handshake, &block] {
    block();
    std::lock_guard lock(handshake->mutex);
    handshake->finished = true;
    handshake->done.notify_one();
  });
  std::unique_lock lock(handshake->mutex);
  handshake->done.wait(lock, [&] { return handshake->finished; });
}

}  // namespace platform
