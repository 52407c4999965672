#pragma once

// The envelope of a keyed archive: {"$archiver": kArchiverName, "$version": kArchiveVersion,
// "$top": {entries}}. Internal to the platform layer.

namespace platform::archive_format {

inline constexpr const char* kArchiverKey = "$archiver";
inline constexpr const char* kArchiverName = "PictaviaKeyedArchiver";
inline constexpr const char* kVersionKey = "$version";
inline constexpr int kArchiveVersion = 1;
inline constexpr const char* kTopKey = "$top";

}  // namespace platform::archive_format
