#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "Content/ContentDownloadBox.h"
#include "Content/ContentType.h"

// Fetches content one item at a time. Each item's files are a box waiting in the line of its
// content type; the next box comes from the line with the highest priority (ties go to the
// lower type number), and the next box starts only when the current one has ended. When no
// box is left the conveyor posts "kContentDownloadConveyorFinished" and stops. Main thread.
//
// Make it with std::make_shared: boxes report back through a weak reference, so releasing the
// conveyor stops it.
class ContentDownloadConveyor : public std::enable_shared_from_this<ContentDownloadConveyor> {
 public:
  static constexpr const char* kContentDownloadConveyorFinished =
      "kContentDownloadConveyorFinished";
  using Line = std::deque<std::shared_ptr<ContentDownloadBox>>;

  // Five empty lines, automatic mode, not running.
  ContentDownloadConveyor();
  ~ContentDownloadConveyor();
  ContentDownloadConveyor(const ContentDownloadConveyor&) = delete;
  ContentDownloadConveyor& operator=(const ContentDownloadConveyor&) = delete;

  // Wraps the tasks in a box for the type's line; when the box ends, `completion` runs first,
  // then the box is reported if the conveyor is running.
  void addDownloadGroup(std::vector<std::shared_ptr<DispatchTask>> tasks, ContentType conentType,
                        std::function<void()> completion);
  // Appends the box to its type's line; a box of ContentTypeNone is dropped.
  void addContentBox(const std::shared_ptr<ContentDownloadBox>& box);
  void removeContentBox(const std::shared_ptr<ContentDownloadBox>& box);
  // The line of a type, or null for a type without one.
  const Line* lineWithType(ContentType type) const;
  std::shared_ptr<ContentDownloadBox> nextBoxToDownload() const;

  void startConveyor();
  // Marks the conveyor stopped; boxes under way are not cancelled.
  void stopConveyor();
  // Empties all five lines; boxes under way are not cancelled.
  void clearLines();
  // A box has ended: it leaves its line and, while running, the next box starts.
  void boxDownloaded(ContentDownloadBox& box);
  bool isRuning() const { return _isRuning; }

  void setAutomaticMode();
  void setBackgroundsMode();
  void setPhotoFramesMode();
  void setFaceEffectsMode();
  void setClipartsMode();
  const std::array<int, kContentTypeCount>& priorities() const { return _priorities; }

 private:
  void recursiveDownload();

  std::array<Line, kContentTypeCount> _boxesLines;
  std::array<int, kContentTypeCount> _priorities;
  bool _isRuning = false;
};
