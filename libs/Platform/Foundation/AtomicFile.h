#pragma once

#include <string>

#include "Foundation/Value.h"

namespace platform {

// Whole-file writes that either replace the old file completely or leave it untouched: the data
// goes to a temporary file beside the target, is flushed to disk, and is renamed over it.
class AtomicFile {
 public:
  static bool write(const std::string& path, const Bytes& data);
  // Removes temporaries that an interrupted write() left beside `path`.
  static void removeStaleTemporaries(const std::string& path);
  // Removes every such temporary directly inside `directory`.
  static void removeStaleTemporariesInDirectory(const std::string& directory);
  // Whether a file name is one of write()'s temporaries.
  static bool isTemporaryName(const std::string& name);
};

}  // namespace platform
