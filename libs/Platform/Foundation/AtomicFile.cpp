#include "Foundation/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>

#include "Foundation/FileManager.h"

namespace platform {
namespace {

constexpr const char* kTemporaryInfix = ".tmp-";

bool writeAll(int fd, const Bytes& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t wrote = ::write(fd, data.data() + done, data.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

void syncDirectory(const std::string& directory) {
  int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

std::string AtomicFile::temporaryPathFor(const std::string& path) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
  std::string temporary = path + kTemporaryInfix;
  for (int i = 0; i < 6; ++i) temporary += kLetters[pick(random)];
  return temporary;
}

int AtomicFile::createTemporary(const std::string& path, std::string& temporaryPath,
                                Access access) {
  if (path.empty()) return -1;
  // Not mkstemp: its files are always 0600, whatever the umask says.
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporaryPath = temporaryPathFor(path);
    int fd = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                  access == Access::Private ? 0600 : 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool AtomicFile::commit(const std::string& temporaryPath, const std::string& path, bool flush) {
  bool synced = true;
  if (flush) {
    int fd = open(temporaryPath.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    synced = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0) synced = close(fd) == 0 && synced;
  }
  if (!synced || rename(temporaryPath.c_str(), path.c_str()) != 0) {
    unlink(temporaryPath.c_str());
    return false;
  }
  if (flush) syncDirectory(FileManager::stringByDeletingLastPathComponent(path));
  return true;
}

void AtomicFile::syncFileSystem(const std::string& path) {
  int fd = open(path.empty() ? "." : path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  syncfs(fd);
  close(fd);
}

bool AtomicFile::write(const std::string& path, const Bytes& data, Access access) {
  std::string temporary;
  int fd = createTemporary(path, temporary, access);
  if (fd < 0) return false;
  bool written = writeAll(fd, data) && fsync(fd) == 0;
  written = close(fd) == 0 && written;
  if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  syncDirectory(FileManager::stringByDeletingLastPathComponent(path));
  return true;
}

bool AtomicFile::isTemporaryName(const std::string& name) {
  std::string_view infix = kTemporaryInfix;
  size_t at = name.rfind(infix);
  return at != std::string::npos && at > 0 && name.size() == at + infix.size() + 6;
}

void AtomicFile::removeStaleTemporariesInDirectory(const std::string& directory) {
  auto names = FileManager::contentsOfDirectoryAtPath(directory);
  if (!names) return;
  for (const std::string& name : *names) {
    if (isTemporaryName(name))
      unlink(FileManager::stringByAppendingPathComponent(directory, name).c_str());
  }
}

void AtomicFile::removeStaleTemporaries(const std::string& path) {
  std::string directory = FileManager::stringByDeletingLastPathComponent(path);
  std::string prefix = FileManager::lastPathComponent(path) + kTemporaryInfix;
  auto names = FileManager::contentsOfDirectoryAtPath(directory.empty() ? "." : directory);
  if (!names) return;
  for (const std::string& name : *names) {
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
      unlink(FileManager::stringByAppendingPathComponent(directory, name).c_str());
  }
}

}  // namespace platform
