#include "Content/ContentDownloadBox.h"

#include <algorithm>

#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"

ContentDownloadBox::ContentDownloadBox(std::vector<std::shared_ptr<DispatchTask>> tasks,
                                       ContentType contentType, Callback completion)
    : _tasks(std::move(tasks)),
      _contentType(contentType),
      _completitionBlock(std::move(completion)) {
  std::erase(_tasks, nullptr);
}

std::shared_ptr<ContentDownloadBox> ContentDownloadBox::boxWithTasks(
    std::vector<std::shared_ptr<DispatchTask>> tasks, ContentType contentType,
    Callback completion) {
  return std::shared_ptr<ContentDownloadBox>(
      new ContentDownloadBox(std::move(tasks), contentType, std::move(completion)));
}

void ContentDownloadBox::startTasks() {
  // A box is fetched once: a conveyor started again while this box is still under way at the
  // head of its line waits for its report instead of queueing its files twice.
  if (_started) return;
  _started = true;
  if (_tasks.empty()) {
    // Nothing will ever end, so report now; from the loop, so that a run of empty boxes does
    // not nest one conveyor step inside another.
    platform::RunLoop::main().post([self = shared_from_this()] { self->checkFinish(); });
    return;
  }
  // The completions hold the box: a box dropped from the conveyor's lines still reports.
  const std::vector<std::shared_ptr<DispatchTask>> tasks = _tasks;
  for (const auto& task : tasks) {
    DispatchTask::Block earlier = task->completeBlock();
    task->setCompleteBlock([self = shared_from_this(), earlier](DispatchTask& ended) {
      if (earlier) earlier(ended);
      self->taskEnded(ended);
    });
  }
  for (const auto& task : tasks) DispatchTools::Instance().addTask(task);
}

void ContentDownloadBox::taskEnded(DispatchTask& task) {
  auto it = std::find_if(_tasks.begin(), _tasks.end(),
                         [&](const auto& held) { return held.get() == &task; });
  if (it == _tasks.end()) return;
  _tasks.erase(it);
  checkFinish();
}

void ContentDownloadBox::checkFinish() {
  if (!_tasks.empty() || _reported) return;
  _reported = true;
  if (_completitionBlock) _completitionBlock(*this);
}
