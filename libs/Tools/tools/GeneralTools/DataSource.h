#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/RunLoop.h"
#include "Foundation/Value.h"
#include "Graphics/Image.h"

namespace platform {
class DispatchQueue;
}

// The application's one persistent settings store: a dictionary of string keys to values, kept
// in memory for the whole process and written to ".Settings.archive" in the documents directory.
// Main thread only, apart from creating the singleton.
class DataSource {
 public:
  // The process's store, created on first use: initialized, then handed to the default-data
  // hook when one is set.
  static DataSource& source();
  // The singleton's settings dictionary.
  static platform::Dictionary& data();
  // How an application seeds defaults into a newly created store (none by default).
  static void setInitDefaultDataHook(std::function<void(DataSource&)> hook);

  // A store over the current app container, loaded from its archive. The singleton is one of
  // these; tests make their own. Making one also installs a fresh response cache (1 MiB in
  // memory, 10 MiB on disk in the caches directory) as the process's shared URL cache.
  DataSource();
  // Waits for the writes handed to the writer; a save still waiting for its turn is dropped.
  ~DataSource();
  DataSource(const DataSource&) = delete;
  DataSource& operator=(const DataSource&) = delete;

  platform::Dictionary& dictionary() { return _data; }
  const platform::Dictionary& dictionary() const { return _data; }

  // Writes the archive atomically, now, after any write under way; a failed write leaves the
  // previous archive in place. For the moments that must not lose anything: entering the
  // background, termination, the end of a tool.
  void saveData();
  // Asks for a save soon, for bookkeeping that changes often (every stored file of a sync):
  // at most one write a second, the settings encoded on the main thread when it is due (a
  // snapshot) and written to disk off it. A kill loses at most the last second of changes.
  void setNeedsSave();
  // Whether a save asked for is still waiting for its turn.
  bool hasPendingSave() const { return _saveTimer != 0; }
  // Replaces the settings with the archive's. A missing archive or one without settings leaves
  // them as they are; an archive that cannot be decoded is moved aside to
  // ".Settings.archive.corrupt" (or "...corrupt-N" when that exists) so that the next save does
  // not destroy it.
  void loadData();

  // The picture that the shared URL cache holds for the URL, kept for the rest of the process;
  // "@2x" in the URL makes it a scale-2 picture. None when nothing decodable is cached.
  std::shared_ptr<platform::Image> cachedImageForURL(const std::string& url);

  static std::optional<std::string> applicationDocumentsDirectory();
  static std::optional<std::string> applicationLibraryCachesDirectory();
  static std::optional<std::string> applicationLibraryApplicationSupportDirectory();

  // The archive's path; empty when there is no documents directory.
  static std::string archivePath();

 private:
  platform::Bytes encodedArchive() const;
  void saveSoon();
  struct Deferred {};
  explicit DataSource(Deferred);
  // Installs the response cache and loads the archive.
  void setUp();

  platform::Dictionary _data;
  std::map<std::string, std::shared_ptr<platform::Image>> _imgCache;
  std::unique_ptr<platform::DispatchQueue> _writer;
  platform::RunLoop::TimerId _saveTimer = 0;
  double _lastSave = -1e300;  // the loop's clock at the last save
};
