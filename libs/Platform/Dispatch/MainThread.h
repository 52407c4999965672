#pragma once

#include <functional>

namespace platform {

// Queues `block` on the main run loop, even when called on the main thread.
void runOnMainThreadAsync(std::function<void()> block);

// Runs `block` on the main thread and returns when it has run: at once when the caller is the
// main thread, otherwise through the main run loop while the caller waits. The main thread must
// be running its loop (or waiting in runUntil) for a background caller to get through.
void runOnMainThreadSync(const std::function<void()>& block);

}  // namespace platform
