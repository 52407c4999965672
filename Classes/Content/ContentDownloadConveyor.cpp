#include "Content/ContentDownloadConveyor.h"

#include <algorithm>

#include "Foundation/NotificationCenter.h"

namespace {

// Priorities by content type: background, photo frame, clipart, face effect, tbframe.
constexpr std::array<int, kContentTypeCount> kAutomatic{4, 3, 1, 2, 0};
constexpr std::array<int, kContentTypeCount> kBackgrounds{3, 2, 1, 2, 2};
constexpr std::array<int, kContentTypeCount> kPhotoFrames{2, 3, 1, 1, 2};
constexpr std::array<int, kContentTypeCount> kFaceEffects{2, 1, 1, 3, 2};
constexpr std::array<int, kContentTypeCount> kCliparts{2, 1, 3, 1, 2};
constexpr int kHighestPriority = 5;

bool isContentType(ContentType type) {
  return type >= 0 && type < kContentTypeCount;
}

}  // namespace

ContentDownloadConveyor::ContentDownloadConveyor() : _priorities(kAutomatic) {}

ContentDownloadConveyor::~ContentDownloadConveyor() {
  stopConveyor();
}

void ContentDownloadConveyor::addDownloadGroup(std::vector<std::shared_ptr<DispatchTask>> tasks,
                                               ContentType conentType,
                                               std::function<void()> completion) {
  std::weak_ptr<ContentDownloadConveyor> conveyor = weak_from_this();
  auto box = ContentDownloadBox::boxWithTasks(
      std::move(tasks), conentType,
      [conveyor, completion = std::move(completion)](ContentDownloadBox& ended) {
        if (completion) completion();
        auto owner = conveyor.lock();
        if (owner && owner->isRuning()) owner->boxDownloaded(ended);
      });
  addContentBox(box);
}

void ContentDownloadConveyor::addContentBox(const std::shared_ptr<ContentDownloadBox>& box) {
  if (!box || !isContentType(box->contentType())) return;
  _boxesLines[box->contentType()].push_back(box);
}

void ContentDownloadConveyor::removeContentBox(const std::shared_ptr<ContentDownloadBox>& box) {
  if (!box || !isContentType(box->contentType())) return;
  std::erase(_boxesLines[box->contentType()], box);
}

const ContentDownloadConveyor::Line* ContentDownloadConveyor::lineWithType(ContentType type) const {
  return isContentType(type) ? &_boxesLines[type] : nullptr;
}

std::shared_ptr<ContentDownloadBox> ContentDownloadConveyor::nextBoxToDownload() const {
  for (int priority = kHighestPriority; priority >= 0; --priority) {
    for (int type = 0; type < kContentTypeCount; ++type) {
      if (_priorities[type] == priority && !_boxesLines[type].empty())
        return _boxesLines[type].front();
    }
  }
  return nullptr;
}

void ContentDownloadConveyor::startConveyor() {
  if (_isRuning) return;
  _isRuning = true;
  recursiveDownload();
}

void ContentDownloadConveyor::stopConveyor() {
  _isRuning = false;
}

void ContentDownloadConveyor::clearLines() {
  for (Line& line : _boxesLines) Line().swap(line);
}

void ContentDownloadConveyor::boxDownloaded(ContentDownloadBox& box) {
  if (isContentType(box.contentType())) {
    Line& line = _boxesLines[box.contentType()];
    auto it = std::find_if(line.begin(), line.end(),
                           [&](const auto& held) { return held.get() == &box; });
    if (it != line.end()) line.erase(it);
  }
  if (_isRuning) recursiveDownload();
}

void ContentDownloadConveyor::recursiveDownload() {
  std::shared_ptr<ContentDownloadBox> box = nextBoxToDownload();
  if (!box) {
    platform::NotificationCenter::defaultCenter().postNotification(kContentDownloadConveyorFinished,
                                                                   this);
    stopConveyor();
    return;
  }
  box->startTasks();
}

void ContentDownloadConveyor::setAutomaticMode() {
  _priorities = kAutomatic;
}
void ContentDownloadConveyor::setBackgroundsMode() {
  _priorities = kBackgrounds;
}
void ContentDownloadConveyor::setPhotoFramesMode() {
  _priorities = kPhotoFrames;
}
void ContentDownloadConveyor::setFaceEffectsMode() {
  _priorities = kFaceEffects;
}
void ContentDownloadConveyor::setClipartsMode() {
  _priorities = kCliparts;
}
