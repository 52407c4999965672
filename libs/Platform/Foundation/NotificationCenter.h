#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/Value.h"

namespace platform {

struct Notification {
  std::string name;
  const void* object = nullptr;  // the sender, compared by address only
  Dictionary userInfo;
};

// Named notifications between subsystems. Observers are registered by an owner address, a
// name and a sender (empty name or null sender: any). Notifications are delivered on the main
// thread: at once when posted there, otherwise through the main run loop.
class NotificationCenter {
 public:
  using Handler = std::function<void(const Notification&)>;
  using ObserverId = std::uint64_t;

  static NotificationCenter& defaultCenter();

  NotificationCenter() = default;
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  ObserverId addObserver(const void* observer, std::string name, const void* object,
                         Handler handler);
  // Removes every registration of `observer`.
  void removeObserver(const void* observer);
  // Removes the registrations of `observer` for that name and sender (empty name or null
  // sender: any).
  void removeObserver(const void* observer, std::string_view name, const void* object);
  void removeObserverWithId(ObserverId id);

  void postNotification(std::string name, const void* object = nullptr, Dictionary userInfo = {});
  void postNotification(const Notification& notification);

 private:
  struct Registration {
    ObserverId id;
    const void* observer;
    std::string name;
    const void* object;
    Handler handler;
    std::atomic<bool> removed{false};
  };

  void deliver(const Notification& notification);
  template <class Predicate>
  void removeWhere(Predicate predicate);

  std::mutex _mutex;
  std::vector<std::shared_ptr<Registration>> _registrations;
  ObserverId _nextId = 1;
};

}  // namespace platform
