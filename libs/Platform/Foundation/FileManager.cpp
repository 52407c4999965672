#include "Foundation/FileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {

std::optional<Bytes> FileManager::contentsAtPath(const std::string& path, size_t maxSize) {
  // Non-blocking: opening a pipe or a device named like a file would otherwise wait for a
  // writer forever; such things are refused below, and reads of plain files are unaffected.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<size_t>(info.st_size) > maxSize) {
    close(fd);
    return std::nullopt;
  }
  Bytes bytes(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  close(fd);
  bytes.resize(done);  // a file that shrank while read gives what was there
  return bytes;
}

bool FileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  if (isDirectory) *isDirectory = S_ISDIR(info.st_mode);
  return true;
}

bool FileManager::createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories) {
  std::error_code error;
  if (withIntermediateDirectories) {
    std::filesystem::create_directories(path, error);
    return !error && std::filesystem::is_directory(path, error);
  }
  return mkdir(path.c_str(), 0755) == 0;
}

bool FileManager::removeItemAtPath(const std::string& path) {
  std::error_code error;
  return std::filesystem::remove_all(path, error) > 0 && !error;
}

bool FileManager::moveItemAtPath(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::vector<std::string>> FileManager::contentsOfDirectoryAtPath(
    const std::string& path) {
  DIR* directory = opendir(path.c_str());
  if (!directory) return std::nullopt;
  std::vector<std::string> names;
  while (dirent* entry = readdir(directory)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  closedir(directory);
  return names;
}

std::string FileManager::stringByAppendingPathComponent(const std::string& path,
                                                        const std::string& component) {
  if (path.empty()) return component;
  if (path.back() == '/') return path + component;
  return path + "/" + component;
}

std::string FileManager::uniqueTimeStamp(const std::string& separator) {
  static std::atomic<long> counter{0};
  auto stamp = std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
                   .count();
  return std::to_string(stamp) + separator + std::to_string(++counter);
}

std::string FileManager::lastPathComponent(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  auto slash = trimmed.rfind('/');
  return slash == std::string::npos || trimmed == "/" ? trimmed : trimmed.substr(slash + 1);
}

std::string FileManager::stringByDeletingLastPathComponent(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  auto slash = trimmed.rfind('/');
  if (slash == std::string::npos) return "";
  if (slash == 0) return "/";
  return trimmed.substr(0, slash);
}

std::string FileManager::stringByExpandingTildeInPath(const std::string& path) {
  if (path.empty() || path[0] != '~' || (path.size() > 1 && path[1] != '/')) return path;
  const char* home = std::getenv("HOME");
  if (!home || !*home) return path;
  return std::string(home) + path.substr(1);
}

}  // namespace platform
