#include "Foundation/NotificationCenter.h"

#include <algorithm>

#include "Foundation/RunLoop.h"

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
  static NotificationCenter* center = new NotificationCenter();
  return *center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(const void* observer,
                                                               std::string name, const void* object,
                                                               Handler handler) {
  if (!handler) return 0;
  auto registration = std::make_shared<Registration>();
  registration->observer = observer;
  registration->name = std::move(name);
  registration->object = object;
  registration->handler = std::move(handler);
  std::lock_guard lock(_mutex);
  registration->id = _nextId++;
  _registrations.push_back(registration);
  return registration->id;
}

template <class Predicate>
void NotificationCenter::removeWhere(Predicate predicate) {
  std::vector<std::shared_ptr<Registration>> removed;  // handlers die outside the lock
  std::lock_guard lock(_mutex);
  auto keep = std::stable_partition(_registrations.begin(), _registrations.end(),
                                    [&](const auto& r) { return !predicate(*r); });
  for (auto it = keep; it != _registrations.end(); ++it) {
    (*it)->removed = true;
    removed.push_back(std::move(*it));
  }
  _registrations.erase(keep, _registrations.end());
}

void NotificationCenter::removeObserver(const void* observer) {
  removeWhere([&](const Registration& r) { return r.observer == observer; });
}

void NotificationCenter::removeObserver(const void* observer, std::string_view name,
                                        const void* object) {
  removeWhere([&](const Registration& r) {
    return r.observer == observer && (name.empty() || r.name == name) &&
           (object == nullptr || r.object == object);
  });
}

void NotificationCenter::removeObserverWithId(ObserverId id) {
  removeWhere([&](const Registration& r) { return r.id == id; });
}

void NotificationCenter::postNotification(std::string name, const void* object,
                                          Dictionary userInfo) {
  postNotification(Notification{std::move(name), object, std::move(userInfo)});
}

void NotificationCenter::postNotification(const Notification& notification) {
  if (RunLoop::isMainThread()) {
    deliver(notification);
  } else {
    RunLoop::main().post([this, notification] { deliver(notification); });
  }
}

void NotificationCenter::deliver(const Notification& notification) {
  std::vector<std::shared_ptr<Registration>> matching;
  {
    std::lock_guard lock(_mutex);
    for (const auto& r : _registrations) {
      if ((r->name.empty() || r->name == notification.name) &&
          (r->object == nullptr || r->object == notification.object))
        matching.push_back(r);
    }
  }
  // An observer removed by an earlier handler of this same delivery is not called.
  for (const auto& r : matching) {
    if (!r->removed) r->handler(notification);
  }
}

}  // namespace platform
