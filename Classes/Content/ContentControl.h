#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Content/ContentDownloadConveyor.h"
#include "Content/ContentItem.h"
#include "Content/ContentName.h"
#include "Content/ContentType.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Object.h"
#include "Foundation/RunLoop.h"

class ContentServiceRequest;
class DispatchTask;

// The device's content catalogue: which files the server lists (the catalogue map, with the
// version each was listed under), which have been downloaded and in which version, and which
// are present and usable here (the local lists, one per content type). It builds the items the
// screens show, and runs the update cycle that keeps the device in step with the server.
//
// The controller lives in the settings store under "ContentControl" and is archived with it:
// the catalogue map, the downloaded versions and the viewed counters. The local lists and the
// items are rebuilt from the disk at every start.
//
// Threads: the local lists are guarded by the download-content queue and may be read from any
// thread (renders ask whether an item is complete); everything else is main-thread only.
class ContentControl : public platform::Archivable,
                       public std::enable_shared_from_this<ContentControl> {
 public:
  static constexpr const char* kArchiveKey = "ContentControl";
  static constexpr const char* kContentControlHasNewContent = "kContentControlHasNewContent";
  static constexpr const char* kContentControlUpdateFinished = "kContentControlUpdateFinished";
  static constexpr const char* kCurrentServerContentVersionDataSourceKey =
      "kCurrentServerContentVersionDataSourceKey";
  static constexpr const char* kContentFolderName = "PVXContent";
  static constexpr double kServerListRetryDelay = 60;
  static constexpr double kFailedDownloadRetryDelay = 300;

  // The shared controller: the one in the settings store, created there on first use.
  static std::shared_ptr<ContentControl> Instance();
  // A new controller with empty maps, started as on a first run.
  static std::shared_ptr<ContentControl> init();
  // A controller restored from its archive, started as on a later run.
  static std::shared_ptr<ContentControl> initWithCoder(const platform::KeyedUnarchiver& coder);
  void encodeWithCoder(platform::KeyedArchiver& coder) const override;
  std::string className() const override { return kArchiveKey; }
  ~ContentControl() override;

  // Directory and files.
  static std::optional<std::string> cachesDirPath();
  const std::string& contentDirPath() const { return _downloadedContentDirPath; }
  bool createContentDirectory();
  std::optional<std::string> fullPathForObjectNamed(const std::string& name) const;
  // Stores a downloaded file atomically and lists it; refused for names that are not safe file
  // names, and nothing is recorded when the write fails.
  bool saveData(const platform::Bytes& data, const std::string& name, const std::string& version);
  void deleteObjectNamed(const std::string& name);

  // Local lists (any thread).
  bool addContentFile(const std::string& name);
  void removeContentFile(const std::string& name);
  void searchContent();
  std::vector<std::string> localListOfType(ContentType type) const;

  // Items and counts for the screens.
  std::optional<std::vector<std::shared_ptr<ContentItem>>> contentItemsForType(
      ContentType type) const;
  std::shared_ptr<ContentItem> contentImageWithName(const std::string& baseName) const;
  std::shared_ptr<ContentItem> emptyItem() const;
  int newContentForType(ContentType type) const;
  void setAllConetnViewedForType(ContentType type);
  int availContentForType(ContentType type) const;

  // The name rules over this catalogue.
  std::optional<std::vector<std::string>> fileNamesForBaseName(const std::string& baseName) const;
  std::optional<std::vector<std::string>> namesForBaseName(const std::string& baseName) const;
  std::string versionWithFileNames(const std::vector<std::string>& names) const;
  std::string versionWithBaseName(const std::string& baseName) const;
  static int numberFromStringOrZero(std::string_view text) {
    return ContentName::numberFromStringOrZero(text);
  }
  // Any thread.
  bool isAllContentDownloaded(const std::vector<std::string>& names) const;

  // Download priorities, passed to the conveyor.
  void setBackgroundsMode() { _conveyor->setBackgroundsMode(); }
  void setPhotoFramesMode() { _conveyor->setPhotoFramesMode(); }
  void setFaceEffectsMode() { _conveyor->setFaceEffectsMode(); }
  void setClipartsMode() { _conveyor->setClipartsMode(); }

  // The update cycle.
  void updateServerContent();
  void setRandomContentSericeURLFromURLS(const std::vector<std::string>& urls);
  void deleteRemovedContent();
  void downloadContent();
  std::shared_ptr<ContentServiceRequest> downloadingTaskWithName(const std::string& name);
  void fileDownloadingFail(const std::string& name);
  void conveyorFinishedDownload();
  void notifyHasNewContent();

  // State, for the tools and tests that watch a sync.
  const ContentName::VersionMap& curServerContent() const { return _curServerContent; }
  const ContentName::VersionMap& curDownloadedContent() const { return _curDownloadedContent; }
  const std::optional<std::string>& contentSericeURL() const { return _contentSericeURL; }
  const std::set<std::string>& invalidDownloadedNames() const { return _invalidDownloadedNames; }
  const std::shared_ptr<ContentDownloadConveyor>& conveyor() const { return _conveyor; }
  size_t itemCount() const { return _allContentItems.size(); }
  std::array<std::int32_t, kContentTypeCount> viewedContent() const { return _viewedContent; }
  // The stored list version of the last applied catalogue answer; none before the first.
  static std::optional<std::string> storedListVersion();

 private:
  ContentControl();
  void startUp(bool firstRun);
  void serverListArrived(const ContentServiceRequest& request);
  void catalogArrived(const ContentServiceRequest& request);
  void fileArrived(const ContentServiceRequest& request, const std::string& name,
                   const std::string& version, const std::string& temporary);
  // Records a stored file: its downloaded version, its place in the local lists, and a save of
  // the settings soon.
  void recordStoredFile(const std::string& name, const std::string& version);
  void groupCompleted(const std::string& baseName);
  void scheduleRetry(platform::RunLoop::TimerId& retry, double delay);
  void cancelRetry(platform::RunLoop::TimerId& retry);
  bool isDownloadPending(const std::string& name);
  std::shared_ptr<ContentItem> makeItem(std::string baseName, std::string version,
                                        std::vector<std::string> files) const;
  // The catalogue map's names by base name, rebuilt after the map's names change.
  const std::unordered_map<std::string, std::vector<std::string>>& serverNamesByBase() const;
  void serverNamesChanged() { _serverIndexValid = false; }
  std::string pathInContentDirectory(const std::string& name) const;

  // Guarded by the download-content queue.
  // The names in the order they were found, and where each is in that order, so that taking a
  // name out costs the same whatever the list's length.
  struct LocalList {
    std::list<std::string> names;
    std::unordered_map<std::string, std::list<std::string>::iterator> members;
  };
  std::array<LocalList, kContentTypeCount> _allContent;
  std::unordered_map<std::string, std::vector<std::string>> _localNamesByBase;

  std::array<std::int32_t, kContentTypeCount> _viewedContent{};
  std::unordered_map<std::string, std::shared_ptr<ContentItem>> _allContentItems;
  ContentName::VersionMap _curServerContent;
  ContentName::VersionMap _curDownloadedContent;
  std::string _downloadedContentDirPath;
  std::shared_ptr<ContentDownloadConveyor> _conveyor;
  std::set<std::string> _invalidDownloadedNames;
  std::optional<std::string> _contentSericeURL;
  // The retries waiting on the run loop (0: none); at most one of each kind.
  platform::RunLoop::TimerId _serverListRetry = 0;
  platform::RunLoop::TimerId _failedDownloadRetry = 0;
  // Files whose download is queued in a group or under way, so that a second catalogue answer
  // does not queue them again. A task dropped unstarted with its group expires here.
  std::unordered_map<std::string, std::weak_ptr<DispatchTask>> _pendingDownloads;

  mutable std::unordered_map<std::string, std::vector<std::string>> _serverIndex;
  mutable bool _serverIndexValid = false;
};
