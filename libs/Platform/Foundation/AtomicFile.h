#pragma once

#include <string>

#include "Foundation/Value.h"

namespace platform {

// Whole-file writes that either replace the old file completely or leave it untouched: the data
// goes to a temporary file beside the target, is flushed to disk, and is renamed over it.
//
// A new file is readable as the process's umask allows (a server running as another user may
// read what a tool wrote); a private one is readable by its owner only.
class AtomicFile {
 public:
  enum class Access { Shared, Private };

  static bool write(const std::string& path, const Bytes& data, Access access = Access::Shared);
  // A new, empty temporary file beside `path`, open for writing, named as write() names its
  // temporaries (so that removeStaleTemporaries finds it after a crash); -1 when none can be
  // made. The caller writes it and hands it to commit() or removes it.
  static int createTemporary(const std::string& path, std::string& temporaryPath,
                             Access access = Access::Shared);
  // A fresh name for a temporary beside `path` (not created), for writers that create the file
  // themselves; commit() or removal ends it, and removeStaleTemporaries finds it after a crash.
  static std::string temporaryPathFor(const std::string& path);
  // Renames a finished temporary over `path`; false (the temporary removed) when that fails.
  // With `flush` the data reaches the disk first (as write() does); without, the caller makes
  // it durable some other way before anything relies on it (a later syncFileSystem).
  static bool commit(const std::string& temporaryPath, const std::string& path, bool flush = true);
  // Flushes everything written on the file system that holds `path` (off the main thread).
  static void syncFileSystem(const std::string& path);
  // Removes temporaries that an interrupted write() left beside `path`.
  static void removeStaleTemporaries(const std::string& path);
  // Removes every such temporary directly inside `directory`.
  static void removeStaleTemporariesInDirectory(const std::string& directory);
  // Whether a file name is one of write()'s temporaries.
  static bool isTemporaryName(const std::string& name);
};

}  // namespace platform
