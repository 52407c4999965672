#pragma once

#include <functional>
#include <optional>
#include <string>

#include "Foundation/Value.h"

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
  // these; tests make their own.
  DataSource();

  platform::Dictionary& dictionary() { return _data; }
  const platform::Dictionary& dictionary() const { return _data; }

  // Writes the archive atomically; a failed write leaves the previous archive in place.
  void saveData();
  // Replaces the settings with the archive's. A missing archive or one without settings leaves
  // them as they are; an archive that cannot be decoded is moved aside to
  // ".Settings.archive.corrupt" (or "...corrupt-N" when that exists) so that the next save does
  // not destroy it.
  void loadData();

  static std::optional<std::string> applicationDocumentsDirectory();
  static std::optional<std::string> applicationLibraryCachesDirectory();
  static std::optional<std::string> applicationLibraryApplicationSupportDirectory();

  // The archive's path; empty when there is no documents directory.
  static std::string archivePath();

 private:
  platform::Dictionary _data;
};
