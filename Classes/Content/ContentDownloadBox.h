#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Content/ContentType.h"
#include "GeneralTools/DispatchTask.h"

// The downloads of one item's files, fetched together: the box reports once, when the last of
// its tasks has ended, whether each succeeded or not.
class ContentDownloadBox : public std::enable_shared_from_this<ContentDownloadBox> {
 public:
  using Callback = std::function<void(ContentDownloadBox& box)>;

  // Keeps a copy of the task list, the type and the callback.
  static std::shared_ptr<ContentDownloadBox> boxWithTasks(
      std::vector<std::shared_ptr<DispatchTask>> tasks, ContentType contentType,
      Callback completion);

  // Queues every task on the shared task runner, each with a completion that runs the task's
  // own completion first and then ticks the task off this box. A box without tasks reports
  // from the run loop right away.
  void startTasks();
  // Calls the callback when no task is left.
  void checkFinish();

  ContentType contentType() const { return _contentType; }
  size_t remainingTaskCount() const { return _tasks.size(); }

 private:
  ContentDownloadBox(std::vector<std::shared_ptr<DispatchTask>> tasks, ContentType contentType,
                     Callback completion);
  void taskEnded(DispatchTask& task);

  std::vector<std::shared_ptr<DispatchTask>> _tasks;
  ContentType _contentType;
  Callback _completitionBlock;
  bool _started = false;
  bool _reported = false;
};
