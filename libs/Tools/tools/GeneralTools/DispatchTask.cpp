#include "GeneralTools/DispatchTask.h"

#include "GeneralTools/DispatchTools.h"

DispatchTask::DispatchTask(Block execute, Block complete, bool isNetwork)
    : _completeBlock(std::move(complete)),
      _executeBlock(std::move(execute)),
      _isNetwork(isNetwork) {}

DispatchTask::~DispatchTask() = default;

std::shared_ptr<DispatchTask> DispatchTask::taskWithExecuteBlock(Block execute, Block complete) {
  if (!execute || !complete) return nullptr;
  return std::shared_ptr<DispatchTask>(
      new DispatchTask(std::move(execute), std::move(complete), false));
}

std::shared_ptr<DispatchTask> DispatchTask::networkTaskWithExecuteBlock(Block execute,
                                                                        Block complete) {
  if (!execute || !complete) return nullptr;
  return std::shared_ptr<DispatchTask>(
      new DispatchTask(std::move(execute), std::move(complete), true));
}

void DispatchTask::cancelTask() {
  if (_isCancelled.exchange(true)) return;
  if (DispatchTools* owner = _owner.load()) owner->taskWasCancelled(*this);
}

void DispatchTask::finishNetworkTask() {
  DispatchTools* owner = _owner.load();
  DispatchTools& runner = owner ? *owner : DispatchTools::Instance();
  runner.finishTask(shared_from_this());
}

void DispatchTask::setObject(platform::Value value, std::string_view key) {
  std::lock_guard lock(_paramsMutex);
  _params.insert_or_assign(std::string(key), std::move(value));
}

platform::Value DispatchTask::objectForKey(std::string_view key) const {
  std::lock_guard lock(_paramsMutex);
  return platform::valueForKey(_params, key);
}

void DispatchTask::removeObjectForKey(std::string_view key) {
  std::lock_guard lock(_paramsMutex);
  auto it = _params.find(key);
  if (it != _params.end()) _params.erase(it);
}

size_t DispatchTask::count() const {
  std::lock_guard lock(_paramsMutex);
  return _params.size();
}

std::vector<std::string> DispatchTask::keyEnumerator() const {
  std::lock_guard lock(_paramsMutex);
  std::vector<std::string> keys;
  keys.reserve(_params.size());
  for (const auto& entry : _params) keys.push_back(entry.first);
  return keys;
}

platform::Dictionary DispatchTask::params() const {
  std::lock_guard lock(_paramsMutex);
  return _params;
}
