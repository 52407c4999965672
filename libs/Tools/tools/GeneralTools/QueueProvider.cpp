#include "GeneralTools/QueueProvider.h"

QueueProvider& QueueProvider::Instance() {
  static QueueProvider* provider = new QueueProvider();  // lives until the process ends
  return *provider;
}

platform::DispatchQueue& QueueProvider::downloadContentQueue() {
  std::call_once(_queueOnce, [this] {
    _downloadContentQueue =
        std::make_unique<platform::DispatchQueue>("com.quillon.download_content_queue");
  });
  return *_downloadContentQueue;
}
