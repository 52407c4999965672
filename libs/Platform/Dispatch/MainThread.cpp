#include "Dispatch/MainThread.h"

#include <memory>

#include "Dispatch/Semaphore.h"
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
  auto done =
      std::make_shared<Semaphore>(0);  // shared: signal() may still run after wait() returns
  RunLoop::main().post([done, &block] {
    block();
    done->signal();
  });
  done->wait();
}

}  // namespace platform
