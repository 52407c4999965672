#include "Content/ContentControl.h"

#include <algorithm>
#include <mutex>

#include "Content/ContentName+Device.h"
#include "Foundation/ArchivableRegistry.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/Bundle.h"
#include "Foundation/Console.h"
#include "Foundation/FileManager.h"
#include "Foundation/NotificationCenter.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/QueueProvider.h"
#include "GeneralTools/Tools.h"

using platform::Dictionary;
using platform::FileManager;
using platform::Value;

namespace {

// Restored controllers come back through the settings archive.
const bool kRegistered = [] {
  platform::ArchivableRegistry::registerClass(
      ContentControl::kArchiveKey,
      [](const platform::KeyedUnarchiver& coder) -> std::shared_ptr<platform::Archivable> {
        return ContentControl::initWithCoder(coder);
      });
  return true;
}();

platform::DispatchQueue& listGuard() {
  return QueueProvider::Instance().downloadContentQueue();
}

bool isContentType(ContentType type) {
  return type >= 0 && type < kContentTypeCount;
}

// A map of names to version strings from the archive; entries that are not safe names with
// string versions are left out, so that nothing restored can name a file outside the folder.
ContentName::VersionMap versionMapFrom(const Value& value) {
  ContentName::VersionMap map;
  if (const Dictionary* dictionary = value.dictionary()) {
    for (const auto& [name, version] : *dictionary) {
      if (version.string() && ContentName::isSafeFileName(name))
        map.emplace(name, *version.string());
    }
  }
  return map;
}

Value valueFrom(const ContentName::VersionMap& map) {
  Dictionary dictionary;
  for (const auto& [name, version] : map) dictionary.emplace(name, Value(version));
  return Value(std::move(dictionary));
}

std::string withoutExtension(const std::string& name) {
  return std::string(ContentName::deletingPathExtension(name));
}

// What items are ordered by, worked out once per item: older content first; within a version by
// the number in the name, then shorter names, then ordinal.
struct ItemOrder {
  int version;
  int key;
  std::string stem;
  std::shared_ptr<ContentItem> item;

  bool operator<(const ItemOrder& other) const {
    if (version != other.version) return version < other.version;
    if (key != other.key) return key < other.key;
    if (stem.size() != other.stem.size()) return stem.size() < other.stem.size();
    return stem < other.stem;
  }
};

}  // namespace

ContentControl::ContentControl() = default;

ContentControl::~ContentControl() {
  platform::NotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<ContentControl> ContentControl::Instance() {
  static std::mutex instanceMutex;
  std::lock_guard lock(instanceMutex);
  Dictionary& settings = DataSource::data();
  auto entry = settings.find(kArchiveKey);
  if (entry != settings.end()) {
    if (auto existing = entry->second.objectAs<ContentControl>()) return existing;
  }
  auto created = init();
  settings.insert_or_assign(kArchiveKey, Value(created));
  return created;
}

std::shared_ptr<ContentControl> ContentControl::init() {
  std::shared_ptr<ContentControl> control(new ContentControl());
  control->startUp(true);
  return control;
}

std::shared_ptr<ContentControl> ContentControl::initWithCoder(
    const platform::KeyedUnarchiver& coder) {
  std::shared_ptr<ContentControl> control(new ContentControl());
  for (int type = 0; type < kContentTypeCount; ++type)
    control->_viewedContent[type] =
        coder.decodeInt32ForKey("ContentViewed_" + std::to_string(type)).value_or(0);
  control->_curServerContent = versionMapFrom(coder.decodeObjectForKey("curServerContent"));
  control->_curDownloadedContent = versionMapFrom(coder.decodeObjectForKey("curDownloadedContent"));
  control->startUp(false);
  return control;
}

void ContentControl::encodeWithCoder(platform::KeyedArchiver& coder) const {
  for (int type = 0; type < kContentTypeCount; ++type)
    coder.encodeInt32(_viewedContent[type], "ContentViewed_" + std::to_string(type));
  coder.encodeObject(valueFrom(_curServerContent), "curServerContent");
  coder.encodeObject(valueFrom(_curDownloadedContent), "curDownloadedContent");
}

void ContentControl::startUp(bool firstRun) {
  serverNamesChanged();
  std::optional<std::string> base =
      Tools::isSystemVersionGreaterThanOrEqualTo("5.0.1")
          ? DataSource::applicationLibraryApplicationSupportDirectory()
          : DataSource::applicationLibraryCachesDirectory();
  _downloadedContentDirPath =
      base ? FileManager::stringByAppendingPathComponent(*base, kContentFolderName) : "";
  if (!_downloadedContentDirPath.empty() &&
      !FileManager::fileExistsAtPath(_downloadedContentDirPath))
    createContentDirectory();

  _conveyor = std::make_shared<ContentDownloadConveyor>();
  // Only this controller's own conveyor: a second controller (a tool's or a test's) must not
  // react to another's downloads.
  std::weak_ptr<ContentControl> weakSelf = weak_from_this();
  platform::NotificationCenter::defaultCenter().addObserver(
      this, ContentDownloadConveyor::kContentDownloadConveyorFinished, _conveyor.get(),
      [weakSelf](const platform::Notification&) {
        if (auto self = weakSelf.lock()) self->conveyorFinishedDownload();
      });
  _invalidDownloadedNames.clear();
  _allContentItems.clear();
  searchContent();
  if (firstRun) {
    for (int type = 0; type < kContentTypeCount; ++type)
      _viewedContent[type] = availContentForType(static_cast<ContentType>(type));
  }
}

std::optional<std::string> ContentControl::cachesDirPath() {
  return DataSource::applicationLibraryCachesDirectory();
}

bool ContentControl::createContentDirectory() {
  if (_downloadedContentDirPath.empty() ||
      !FileManager::createDirectoryAtPath(_downloadedContentDirPath, true)) {
    platform::Console::logf("ContentControl: cannot create the content folder %s",
                            _downloadedContentDirPath.c_str());
    return false;
  }
  return Tools::addMobileBackupAttributeToItemAtURL(_downloadedContentDirPath);
}

std::string ContentControl::pathInContentDirectory(const std::string& name) const {
  return FileManager::stringByAppendingPathComponent(_downloadedContentDirPath, name);
}

std::optional<std::string> ContentControl::fullPathForObjectNamed(const std::string& name) const {
  if (!ContentName::isSafeFileName(name)) return std::nullopt;
  bool isDirectory = false;
  if (!_downloadedContentDirPath.empty()) {
    std::string downloaded = pathInContentDirectory(name);
    if (FileManager::fileExistsAtPath(downloaded, &isDirectory) && !isDirectory) return downloaded;
  }
  auto bundle = platform::Bundle::mainBundle();
  if (!bundle) return std::nullopt;
  std::string resource = FileManager::stringByAppendingPathComponent(bundle->resourcePath(), name);
  if (FileManager::fileExistsAtPath(resource, &isDirectory) && !isDirectory) return resource;
  return bundle->pathForResource(withoutExtension(name), ContentName::pathExtension(name));
}

bool ContentControl::saveData(const platform::Bytes& data, const std::string& name,
                              const std::string& version) {
  if (!ContentName::isSafeFileName(name)) {
    platform::Console::logf("ContentControl: refused to store a file named \"%s\"", name.c_str());
    return false;
  }
  if (_downloadedContentDirPath.empty() ||
      !platform::AtomicFile::write(pathInContentDirectory(name), data)) {
    platform::Console::logf("ContentControl: cannot store %s", name.c_str());
    return false;
  }
  recordStoredFile(name, version);
  return true;
}

void ContentControl::recordStoredFile(const std::string& name, const std::string& version) {
  _curDownloadedContent.insert_or_assign(name, version);
  addContentFile(name);
  // Coalesced: a sync stores many files a second, and the main thread must not wait on the
  // disk for each. A kill loses at most the last second; the next start finds the files.
  DataSource::source().setNeedsSave();
}

void ContentControl::deleteObjectNamed(const std::string& name) {
  if (!ContentName::isSafeFileName(name) || _downloadedContentDirPath.empty()) return;
  std::string path = pathInContentDirectory(name);
  if (!FileManager::fileExistsAtPath(path)) return;
  FileManager::removeItemAtPath(path);
  removeContentFile(name);
}

bool ContentControl::addContentFile(const std::string& name) {
  // The rule's own duplicate test scans the list; membership is checked in the set instead.
  if (!ContentName::isAcceptedLocalFile(name, std::vector<std::string>{})) return false;
  ContentType type = ContentName::type(name);
  bool added = false;
  listGuard().sync([&] {
    LocalList& list = _allContent[type];
    if (list.members.count(name)) return;
    list.members.emplace(name, list.names.insert(list.names.end(), name));
    _localNamesByBase[ContentName::baseName(name)].push_back(name);
    added = true;
  });
  return added;
}

void ContentControl::removeContentFile(const std::string& name) {
  listGuard().sync([&] {
    bool removed = false;
    for (LocalList& list : _allContent) {
      auto member = list.members.find(name);
      if (member == list.members.end()) continue;
      list.names.erase(member->second);
      list.members.erase(member);
      removed = true;
    }
    if (!removed) return;
    auto byBase = _localNamesByBase.find(ContentName::baseName(name));
    if (byBase != _localNamesByBase.end()) {
      std::erase(byBase->second, name);
      if (byBase->second.empty()) _localNamesByBase.erase(byBase);
    }
  });
}

std::vector<std::string> ContentControl::localListOfType(ContentType type) const {
  std::vector<std::string> names;
  if (!isContentType(type)) return names;
  listGuard().sync(
      [&] { names.assign(_allContent[type].names.begin(), _allContent[type].names.end()); });
  return names;
}

void ContentControl::searchContent() {
  listGuard().sync([&] {
    for (LocalList& list : _allContent) list = LocalList{};
    _localNamesByBase.clear();
  });
  std::vector<std::string> found;
  if (auto bundle = platform::Bundle::mainBundle()) {
    if (auto names = FileManager::contentsOfDirectoryAtPath(bundle->resourcePath()))
      found = std::move(*names);
  }
  if (!_downloadedContentDirPath.empty()) {
    // Writes cut short by a crash leave temporaries; they are never content.
    platform::AtomicFile::removeStaleTemporariesInDirectory(_downloadedContentDirPath);
    // The folder is flat: anything below a subfolder could only be named with a "/", which no
    // content name may hold.
    if (auto names = FileManager::contentsOfDirectoryAtPath(_downloadedContentDirPath))
      found.insert(found.end(), names->begin(), names->end());
  }
  for (const std::string& name : found) addContentFile(name);

  std::vector<std::string> bases;
  std::unordered_map<std::string, std::vector<std::string>> groups;
  for (int type = 0; type < kContentTypeCount; ++type) {
    for (const std::string& name : localListOfType(static_cast<ContentType>(type))) {
      std::string base = ContentName::baseName(name);
      auto [group, isNew] = groups.try_emplace(base);
      if (isNew) bases.push_back(base);
      group->second.push_back(name);
    }
  }
  _allContentItems.clear();
  for (const std::string& base : bases) {
    std::vector<std::string>& names = groups[base];
    // Masks alone are no picture (the default top/bottom-frame masks among the resources).
    bool hasPicture = std::any_of(names.begin(), names.end(), [](const std::string& name) {
      return !ContentName::containsString(name, ContentName::kMaskMarker);
    });
    if (!hasPicture) continue;
    std::string version = versionWithFileNames(names);
    _allContentItems.emplace(base, makeItem(base, std::move(version), std::move(names)));
  }
}

std::shared_ptr<ContentItem> ContentControl::makeItem(std::string baseName, std::string version,
                                                      std::vector<std::string> files) const {
  auto item =
      ContentItem::ContentItemWithName(std::move(baseName), std::move(version), std::move(files));
  item->setCatalog(std::const_pointer_cast<ContentControl>(shared_from_this()));
  return item;
}

std::optional<std::vector<std::shared_ptr<ContentItem>>> ContentControl::contentItemsForType(
    ContentType type) const {
  if (!isContentType(type)) return std::nullopt;
  std::vector<ItemOrder> ordered;
  for (const auto& [base, item] : _allContentItems) {
    if (item->type() != type) continue;
    std::string stem = withoutExtension(item->name());
    int key = ContentName::numberFromStringOrZero(stem);
    ordered.push_back(
        ItemOrder{ContentName::intValue(item->version()), key, std::move(stem), item});
  }
  std::sort(ordered.begin(), ordered.end());
  std::vector<std::shared_ptr<ContentItem>> items;
  items.reserve(ordered.size());
  for (ItemOrder& entry : ordered) items.push_back(std::move(entry.item));
  return items;
}

std::shared_ptr<ContentItem> ContentControl::contentImageWithName(
    const std::string& baseName) const {
  auto it = _allContentItems.find(baseName);
  return it == _allContentItems.end() ? nullptr : it->second;
}

std::shared_ptr<ContentItem> ContentControl::emptyItem() const {
  std::string empty(ContentName::kEmptyBaseName);
  return makeItem(empty, "0", fileNamesForBaseName(empty).value_or(std::vector<std::string>{}));
}

int ContentControl::availContentForType(ContentType type) const {
  if (!isContentType(type)) return 0;
  int count = 0;
  listGuard().sync([&] { count = static_cast<int>(_allContent[type].names.size()); });
  return count;
}

int ContentControl::newContentForType(ContentType type) const {
  if (!isContentType(type)) return 0;
  return availContentForType(type) - _viewedContent[type];
}

void ContentControl::setAllConetnViewedForType(ContentType type) {
  if (isContentType(type)) _viewedContent[type] = availContentForType(type);
}

const std::unordered_map<std::string, std::vector<std::string>>& ContentControl::serverNamesByBase()
    const {
  if (!_serverIndexValid) {
    _serverIndex.clear();
    for (const auto& [name, version] : _curServerContent)
      _serverIndex[ContentName::baseName(name)].push_back(name);
    for (auto& [base, names] : _serverIndex) std::sort(names.begin(), names.end());
    _serverIndexValid = true;
  }
  return _serverIndex;
}

std::optional<std::vector<std::string>> ContentControl::fileNamesForBaseName(
    const std::string& baseName) const {
  if (ContentName::type(baseName) == ContentTypeNone) {
    if (baseName == ContentName::kEmptyBaseName)
      return std::vector<std::string>{std::string(ContentName::kEmptyFileName),
                                      std::string(ContentName::kEmptySmallFileName)};
    return std::nullopt;
  }
  std::vector<std::string> local;
  listGuard().sync([&] {
    auto it = _localNamesByBase.find(baseName);
    if (it != _localNamesByBase.end()) local = it->second;
  });
  const auto& index = serverNamesByBase();
  auto server = index.find(baseName);
  return ContentName::fileNamesForBaseName(
      baseName, local, server == index.end() ? std::vector<std::string>{} : server->second);
}

std::optional<std::vector<std::string>> ContentControl::namesForBaseName(
    const std::string& baseName) const {
  const auto& index = serverNamesByBase();
  auto server = index.find(baseName);
  if (server == index.end()) return std::nullopt;
  return ContentName::namesForBaseName(baseName, server->second);
}

std::string ContentControl::versionWithFileNames(const std::vector<std::string>& names) const {
  return ContentName::versionWithFileNames(names, _curDownloadedContent);
}

std::string ContentControl::versionWithBaseName(const std::string& baseName) const {
  return versionWithFileNames(fileNamesForBaseName(baseName).value_or(std::vector<std::string>{}));
}

bool ContentControl::isAllContentDownloaded(const std::vector<std::string>& names) const {
  if (names.empty() || names.front() == ContentName::kEmptyFileName) return true;
  ContentType type = ContentName::type(names.front());
  if (!isContentType(type)) return false;
  bool all = true;
  listGuard().sync([&] {
    const LocalList& list = _allContent[type];
    all = std::all_of(names.begin(), names.end(),
                      [&](const std::string& name) { return list.members.count(name) > 0; });
  });
  return all;
}
