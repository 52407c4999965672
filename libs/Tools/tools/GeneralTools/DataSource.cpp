#include "GeneralTools/DataSource.h"

#include <algorithm>
#include <mutex>

#include "Dispatch/DispatchQueue.h"
#include "Foundation/AppContainer.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/Console.h"
#include "Foundation/FileManager.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Graphics/ImageDecoder.h"
#include "Network/URLCache.h"

using platform::AppContainer;
using platform::Console;
using platform::FileManager;

namespace {

constexpr const char* kArchiveName = ".Settings.archive";
constexpr const char* kDataKey = "data";
constexpr const char* kCorruptSuffix = ".corrupt";
constexpr double kSaveInterval = 1;
// Far above any real settings archive; a larger file is not one of ours.
constexpr size_t kMaxArchiveSize = size_t{256} << 20;

// Recursive: the store's loading (archived objects' decoders) and the default-data hook may read
// the settings, which comes back here on the same thread.
std::recursive_mutex& classLock() {
  static std::recursive_mutex mutex;
  return mutex;
}

std::function<void(DataSource&)>& defaultDataHook() {
  static std::function<void(DataSource&)> hook;
  return hook;
}

std::optional<std::string> firstPath(AppContainer::Directory directory) {
  auto paths = AppContainer::searchPathForDirectory(directory);
  if (paths.empty()) return std::nullopt;
  return FileManager::stringByExpandingTildeInPath(paths.front());
}

}  // namespace

DataSource& DataSource::source() {
  std::lock_guard lock(classLock());
  static DataSource* instance = nullptr;  // lives until the process ends
  if (!instance) {
    // Published before it loads, so a reader during loading or seeding finds this one instead
    // of making another.
    instance = new DataSource(Deferred{});
    instance->setUp();
    if (defaultDataHook()) defaultDataHook()(*instance);
  }
  return *instance;
}

platform::Dictionary& DataSource::data() {
  return source()._data;
}

void DataSource::setInitDefaultDataHook(std::function<void(DataSource&)> hook) {
  std::lock_guard lock(classLock());
  defaultDataHook() = std::move(hook);
}

DataSource::DataSource(Deferred) {}

DataSource::DataSource() {
  setUp();
}

void DataSource::setUp() {
  constexpr size_t kMemoryCapacity = 1048576, kDiskCapacity = 10485760;
  platform::URLCache::setSharedURLCache(std::make_shared<platform::URLCache>(
      kMemoryCapacity, kDiskCapacity, platform::URLCache::defaultPath().value_or("")));
  loadData();
}

DataSource::~DataSource() {
  if (_saveTimer != 0) platform::RunLoop::main().cancel(_saveTimer);
  _writer.reset();  // runs the writes already handed over
}

std::shared_ptr<platform::Image> DataSource::cachedImageForURL(const std::string& url) {
  if (url.empty()) return nullptr;
  auto kept = _imgCache.find(url);
  if (kept != _imgCache.end()) return kept->second;
  auto cache = platform::URLCache::sharedURLCache();
  auto response = cache ? cache->cachedResponseForURL(url) : nullptr;
  if (!response) return nullptr;
  double scale = url.find("@2x") != std::string::npos ? 2 : 1;
  auto image = platform::ImageDecoder::decode(response->data, scale);
  if (!image) return nullptr;
  _imgCache.emplace(url, image);
  return image;
}

std::optional<std::string> DataSource::applicationDocumentsDirectory() {
  return firstPath(AppContainer::Directory::Documents);
}

std::optional<std::string> DataSource::applicationLibraryCachesDirectory() {
  return firstPath(AppContainer::Directory::Caches);
}

std::optional<std::string> DataSource::applicationLibraryApplicationSupportDirectory() {
  return firstPath(AppContainer::Directory::ApplicationSupport);
}

std::string DataSource::archivePath() {
  auto documents = applicationDocumentsDirectory();
  return documents ? FileManager::stringByAppendingPathComponent(*documents, kArchiveName) : "";
}

platform::Bytes DataSource::encodedArchive() const {
  platform::KeyedArchiver archiver;
  archiver.encodeDictionary(_data, kDataKey);
  return archiver.finishEncoding();
}

void DataSource::saveData() {
  if (_saveTimer != 0) platform::RunLoop::main().cancel(_saveTimer);
  _saveTimer = 0;
  std::string path = archivePath();
  if (path.empty()) return;
  _lastSave = platform::RunLoop::main().now();
  platform::Bytes archive = encodedArchive();
  auto write = [&] {
    platform::AtomicFile::syncFileSystem(FileManager::stringByDeletingLastPathComponent(path));
    // The settings are the user's own: readable by nobody else.
    if (!platform::AtomicFile::write(path, archive, platform::AtomicFile::Access::Private))
      Console::logf("DataSource: could not write %s; the previous settings remain", path.c_str());
  };
  if (_writer)
    _writer->sync(write);  // after the writes already handed over, never before them
  else
    write();
}

void DataSource::setNeedsSave() {
  if (_saveTimer != 0) return;
  double wait = std::max(0.0, _lastSave + kSaveInterval - platform::RunLoop::main().now());
  _saveTimer = platform::RunLoop::main().schedule(wait, [this] {
    _saveTimer = 0;
    saveSoon();
  });
}

void DataSource::saveSoon() {
  std::string path = archivePath();
  if (path.empty()) return;
  _lastSave = platform::RunLoop::main().now();
  // Encoded here, on the main thread that owns the settings; the disk's wait is the writer's.
  auto archive = std::make_shared<platform::Bytes>(encodedArchive());
  if (!_writer) _writer = std::make_unique<platform::DispatchQueue>("DataSource.writer");
  _writer->async([path, archive] {
    // Files the settings record (stored content) reach the disk before the record does.
    platform::AtomicFile::syncFileSystem(FileManager::stringByDeletingLastPathComponent(path));
    if (!platform::AtomicFile::write(path, *archive, platform::AtomicFile::Access::Private))
      Console::logf("DataSource: could not write %s; the previous settings remain", path.c_str());
  });
}

void DataSource::loadData() {
  std::string path = archivePath();
  if (path.empty()) return;
  platform::AtomicFile::removeStaleTemporaries(path);
  if (!FileManager::fileExistsAtPath(path)) return;

  if (auto bytes = FileManager::contentsAtPath(path, kMaxArchiveSize)) {
    if (auto unarchiver = platform::KeyedUnarchiver::unarchiverForReadingWithData(*bytes)) {
      if (!unarchiver->containsValueForKey(kDataKey)) return;
      platform::Value stored = unarchiver->decodeObjectForKey(kDataKey);
      if (!unarchiver->failed() && stored.dictionary()) {
        _data = std::move(*stored.dictionary());
        return;
      }
    }
  }
  // An older unreadable archive already set aside is kept too.
  std::string aside = path + kCorruptSuffix;
  for (int n = 1; FileManager::fileExistsAtPath(aside) && n < 1000; ++n)
    aside = path + kCorruptSuffix + "-" + std::to_string(n);
  bool moved = FileManager::moveItemAtPath(path, aside);
  Console::logf(
      "DataSource: settings archive %s cannot be decoded; %s, starting with empty settings",
      path.c_str(), moved ? ("moved to " + aside).c_str() : "could not move it aside");
}
