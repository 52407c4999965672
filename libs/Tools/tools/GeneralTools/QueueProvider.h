#pragma once

#include <memory>
#include <mutex>

#include "Dispatch/DispatchQueue.h"

// Hands out the shared serial queue on which the content catalogue guards its file lists.
class QueueProvider {
 public:
  static QueueProvider& Instance();

  // The queue "com.quillon.download_content_queue", created on the first call.
  platform::DispatchQueue& downloadContentQueue();

 private:
  QueueProvider() = default;

  std::once_flag _queueOnce;
  std::unique_ptr<platform::DispatchQueue> _downloadContentQueue;
};
