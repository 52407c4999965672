#include "Foundation/AppContainer.h"

#include <cstdlib>
#include <mutex>

#include "Foundation/FileManager.h"

namespace platform {
namespace {

std::mutex& overrideMutex() {
  static std::mutex mutex;
  return mutex;
}

std::optional<std::string>& rootOverride() {
  static std::optional<std::string> root;
  return root;
}

const char* relativePath(AppContainer::Directory directory) {
  switch (directory) {
    case AppContainer::Directory::Documents:
      return "Documents";
    case AppContainer::Directory::Caches:
      return "Library/Caches";
    case AppContainer::Directory::ApplicationSupport:
      return "Library/Application Support";
  }
  return "Documents";
}

}  // namespace

std::optional<std::string> AppContainer::rootPath() {
  {
    std::lock_guard lock(overrideMutex());
    if (rootOverride()) return FileManager::stringByExpandingTildeInPath(*rootOverride());
  }
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  // A relative XDG_DATA_HOME is invalid and must be ignored.
  if (dataHome && dataHome[0] == '/') return std::string(dataHome) + "/pictavia";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/pictavia";
  return std::nullopt;
}

void AppContainer::setRootOverride(std::optional<std::string> root) {
  std::lock_guard lock(overrideMutex());
  rootOverride() = std::move(root);
}

std::vector<std::string> AppContainer::searchPathForDirectory(Directory directory) {
  auto root = rootPath();
  if (!root) return {};
  std::string path = FileManager::stringByAppendingPathComponent(*root, relativePath(directory));
  FileManager::createDirectoryAtPath(path, true);
  return {path};
}

}  // namespace platform
