// The update cycle of the content catalogue: server list, catalogue, removals, downloads and
// the retries after failures.
#include <unistd.h>

#include <algorithm>

#include "Content/ContentControl.h"
#include "Content/ContentServiceRequest.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/NotificationCenter.h"
#include "Foundation/RandomSource.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/DispatchTools.h"

using platform::Value;

std::optional<std::string> ContentControl::storedListVersion() {
  const Value value =
      platform::valueForKey(DataSource::data(), kCurrentServerContentVersionDataSourceKey);
  if (const std::string* version = value.string()) return *version;
  return std::nullopt;
}

void ContentControl::updateServerContent() {
  // This cycle replaces any retry still waiting, so activations while offline never add a
  // second chain of retries.
  cancelRetry(_serverListRetry);
  cancelRetry(_failedDownloadRetry);
  if (_conveyor->isRuning()) {
    _conveyor->stopConveyor();
    _conveyor->clearLines();
  }
  std::weak_ptr<ContentControl> weakSelf = weak_from_this();
  std::shared_ptr<ContentServiceRequest> request;
  if (_contentSericeURL) {
    request = ContentServiceRequest::RequestListWithOldVersion(
        storedListVersion(), *_contentSericeURL, [weakSelf](DispatchTask& task) {
          if (auto self = weakSelf.lock())
            self->catalogArrived(static_cast<ContentServiceRequest&>(task));
        });
  } else {
    request =
        ContentServiceRequest::RequestServersURLsWithCompleteBlock([weakSelf](DispatchTask& task) {
          if (auto self = weakSelf.lock())
            self->serverListArrived(static_cast<ContentServiceRequest&>(task));
        });
  }
  DispatchTools::Instance().addTask(request);
}

void ContentControl::serverListArrived(const ContentServiceRequest& request) {
  std::vector<std::string> urls;
  if (const platform::Array* list = request.result().array()) {
    // Only text can be a server address; anything else in the list is passed over.
    for (const Value& entry : *list) {
      if (const std::string* url = entry.string(); url && !url->empty()) urls.push_back(*url);
    }
  }
  if (!urls.empty()) {
    setRandomContentSericeURLFromURLS(urls);
    updateServerContent();
    return;
  }
  scheduleRetry(_serverListRetry, kServerListRetryDelay);
}

void ContentControl::scheduleRetry(platform::RunLoop::TimerId& retry, double delay) {
  cancelRetry(retry);
  std::weak_ptr<ContentControl> weakSelf = weak_from_this();
  retry = platform::RunLoop::main().schedule(delay, [weakSelf, &retry] {
    if (auto self = weakSelf.lock()) {
      retry = 0;
      self->updateServerContent();
    }
  });
}

void ContentControl::cancelRetry(platform::RunLoop::TimerId& retry) {
  if (retry != 0) platform::RunLoop::main().cancel(retry);
  retry = 0;
}

void ContentControl::setRandomContentSericeURLFromURLS(const std::vector<std::string>& urls) {
  if (urls.empty()) return;
  _contentSericeURL = urls[platform::RandomSource::next() % urls.size()];
}

void ContentControl::catalogArrived(const ContentServiceRequest& request) {
  // The version is kept only with the answer it came in: a version stored from an answer that
  // could not be applied would make the next request skip the changes it carried.
  if (ContentServiceRequest::applyChanges(_curServerContent, request.result())) {
    serverNamesChanged();
    if (const platform::Dictionary* answer = request.result().dictionary()) {
      auto version = answer->find("ver");
      if (version != answer->end() && version->second.string())
        DataSource::data().insert_or_assign(kCurrentServerContentVersionDataSourceKey,
                                            version->second);
    }
  }
  deleteRemovedContent();
  downloadContent();
}

void ContentControl::deleteRemovedContent() {
  std::vector<std::string> names;
  for (const auto& [name, version] : _curDownloadedContent) {
    if (!_curServerContent.count(name)) names.push_back(name);
  }
  for (const std::string& name : names) {
    deleteObjectNamed(name);
    // Forgotten too, or every later cycle would find it again and rebuild its item.
    _curDownloadedContent.erase(name);
    _allContentItems.erase(ContentName::baseName(name));
  }
  if (!names.empty()) DataSource::source().setNeedsSave();
}

void ContentControl::downloadContent() {
  std::string listVersion = storedListVersion().value_or("");
  const auto& byBase = serverNamesByBase();
  std::vector<std::string> bases;
  bases.reserve(byBase.size());
  for (const auto& entry : byBase) bases.push_back(entry.first);
  ContentName::sortInDownloadOrder(bases);

  for (const std::string& base : bases) {
    std::vector<std::shared_ptr<DispatchTask>> group;
    bool relisted = false;
    bool pending = false;
    for (const std::string& name : byBase.at(base)) {
      auto listed = _curServerContent.find(name);
      auto downloaded = _curDownloadedContent.find(name);
      if (downloaded != _curDownloadedContent.end() && downloaded->second == listed->second &&
          fullPathForObjectNamed(name)) {
        listed->second = listVersion;
        downloaded->second = listVersion;
        // A complete file taken out of the lists after a sibling failed comes back now, or its
        // item would stay incomplete until the next start.
        relisted |= addContentFile(name);
        continue;
      }
      // A file already queued or under way (an earlier answer planned it) is not queued
      // again; that group completes the item.
      if (isDownloadPending(name)) {
        pending = true;
        continue;
      }
      if (auto task = downloadingTaskWithName(name)) {
        _pendingDownloads.insert_or_assign(name, task);
        group.push_back(std::move(task));
      }
    }
    if (group.empty()) {
      if (!pending && (relisted || !contentImageWithName(base))) groupCompleted(base);
      continue;
    }
    std::weak_ptr<ContentControl> weakSelf = weak_from_this();
    _conveyor->addDownloadGroup(std::move(group), ContentName::type(base), [weakSelf, base] {
      if (auto self = weakSelf.lock()) self->groupCompleted(base);
    });
  }
  _conveyor->startConveyor();
}

std::shared_ptr<ContentServiceRequest> ContentControl::downloadingTaskWithName(
    const std::string& name) {
  auto listed = _curServerContent.find(name);
  if (listed == _curServerContent.end() || !_contentSericeURL) return nullptr;
  std::string version = listed->second;
  // The answer streams into a temporary beside its place, never into memory; it takes the
  // file's name only once it has arrived whole.
  std::string temporary =
      _downloadedContentDirPath.empty() || !ContentName::isSafeFileName(name)
          ? std::string()
          : platform::AtomicFile::temporaryPathFor(pathInContentDirectory(name));
  std::weak_ptr<ContentControl> weakSelf = weak_from_this();
  return ContentServiceRequest::RequestGetWithVersion(
      version, name, *_contentSericeURL,
      [weakSelf, name, version, temporary](DispatchTask& task) {
        if (auto self = weakSelf.lock())
          self->fileArrived(static_cast<ContentServiceRequest&>(task), name, version, temporary);
        else if (!temporary.empty())
          unlink(temporary.c_str());
      },
      temporary.empty() ? std::nullopt : std::optional<std::string>(temporary));
}

bool ContentControl::isDownloadPending(const std::string& name) {
  auto pending = _pendingDownloads.find(name);
  if (pending == _pendingDownloads.end()) return false;
  // A group dropped from the conveyor before it started releases its tasks.
  if (!pending->second.expired()) return true;
  _pendingDownloads.erase(pending);
  return false;
}

void ContentControl::fileArrived(const ContentServiceRequest& request, const std::string& name,
                                 const std::string& version, const std::string& temporary) {
  auto pending = _pendingDownloads.find(name);
  if (pending != _pendingDownloads.end() && pending->second.lock().get() == &request)
    _pendingDownloads.erase(pending);
  // A cut, failed or oversized transfer leaves a partial body: it is a failed download, never a
  // file. A whole one takes its name without waiting for the disk here: the settings writer
  // flushes the file system before it writes the record of the file, so no record can name a
  // file whose bytes are not on disk.
  if (temporary.empty()) {
    if (request.transferSucceeded() && request.data() && saveData(*request.data(), name, version))
      return;
  } else if (request.transferSucceeded() &&
             platform::AtomicFile::commit(temporary, pathInContentDirectory(name), false)) {
    recordStoredFile(name, version);
    return;
  } else {
    unlink(temporary.c_str());
  }
  fileDownloadingFail(name);
}

void ContentControl::fileDownloadingFail(const std::string& name) {
  _invalidDownloadedNames.insert(ContentName::baseName(name));
}

void ContentControl::groupCompleted(const std::string& baseName) {
  if (_invalidDownloadedNames.count(baseName)) {
    for (const std::string& name : namesForBaseName(baseName).value_or(std::vector<std::string>{}))
      removeContentFile(name);
    return;
  }
  if (auto item = contentImageWithName(baseName)) {
    item->cleanBigImage();
    notifyHasNewContent();
    return;
  }
  std::vector<std::string> files =
      fileNamesForBaseName(baseName).value_or(std::vector<std::string>{});
  std::string version = versionWithFileNames(files);
  _allContentItems.insert_or_assign(baseName,
                                    makeItem(baseName, std::move(version), std::move(files)));
  notifyHasNewContent();
}

void ContentControl::conveyorFinishedDownload() {
  if (!_invalidDownloadedNames.empty()) {
    _invalidDownloadedNames.clear();
    _contentSericeURL.reset();
    scheduleRetry(_failedDownloadRetry, kFailedDownloadRetryDelay);
  }
  DataSource::source().setNeedsSave();
  platform::NotificationCenter::defaultCenter().postNotification(kContentControlUpdateFinished,
                                                                 this);
}

void ContentControl::notifyHasNewContent() {
  platform::NotificationCenter::defaultCenter().postNotification(kContentControlHasNewContent,
                                                                 this);
}
