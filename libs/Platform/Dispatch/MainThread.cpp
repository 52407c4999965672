#include "Dispatch/MainThread.h"

#include <memory>
#include <semaphore>

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
  // Shared: release() may still run after acquire() returns.
  auto done = std::make_shared<std::binary_semaphore>(0);
  RunLoop::main().post([done, &block] {
    block();
    done->release();
  });
  done->acquire();
}

}  // namespace platform
