#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Value.h"

namespace platform {

// File-system helpers with the platform's failure style: a missing result, never a throw.
class FileManager {
 public:
  // The whole file, or nothing when it cannot be read, is not a plain file (a pipe, a device,
  // a directory) or is larger than `maxSize`. Never waits for a writer.
  static std::optional<Bytes> contentsAtPath(const std::string& path,
                                             size_t maxSize = size_t{1} << 31);
  static bool fileExistsAtPath(const std::string& path, bool* isDirectory = nullptr);
  static bool createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories);
  static bool removeItemAtPath(const std::string& path);
  static bool moveItemAtPath(const std::string& from, const std::string& to);
  // Entry names of a directory in the order the file system lists them, without "." and "..".
  static std::optional<std::vector<std::string>> contentsOfDirectoryAtPath(const std::string& path);
  static std::string stringByAppendingPathComponent(const std::string& path,
                                                    const std::string& component);
  static std::string lastPathComponent(const std::string& path);
  static std::string stringByDeletingLastPathComponent(const std::string& path);
  // For names of files made one after another: the milliseconds since the epoch, `separator`,
  // then a counter, so that names made within the same millisecond differ. Any thread.
  static std::string uniqueTimeStamp(const std::string& separator);
  // "~" and "~/..." become the home directory.
  static std::string stringByExpandingTildeInPath(const std::string& path);
};

}  // namespace platform
