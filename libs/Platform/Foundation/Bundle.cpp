#include "Foundation/Bundle.h"

#include <unistd.h>

#include <mutex>
#include <vector>

#include "Foundation/Console.h"
#include "Foundation/FileManager.h"
#include "Foundation/Locale.h"
#include "Foundation/PropertyList.h"

namespace platform {
namespace {

std::mutex& mainBundleMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<Bundle>& mainBundleSlot() {
  static std::shared_ptr<Bundle> bundle;
  return bundle;
}

std::string defaultMainBundlePath() {
  char executable[4096];
  ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
  if (length > 0) {
    executable[length] = '\0';
    std::string folder = FileManager::stringByDeletingLastPathComponent(executable);
    // Beside the program, or in the shared data folder of an installed one ("bin/../share").
    for (const std::string& candidate :
         {folder + "/Resources",
          FileManager::stringByDeletingLastPathComponent(folder) + "/share/pictavia/Resources"})
      if (FileManager::fileExistsAtPath(candidate + "/Info.plist")) return candidate;
  }
  return PICTAVIA_RESOURCES_DIR;
}

std::vector<std::string> languageFolders() {
  std::vector<std::string> folders;
  auto add = [&](const std::string& folder) {
    for (const auto& existing : folders)
      if (existing == folder) return;
    folders.push_back(folder);
  };
  for (const std::string& language : Locale::preferredLanguages()) {
    add(language + ".lproj");
    std::string underscored = language;
    for (char& c : underscored)
      if (c == '-') c = '_';
    add(underscored + ".lproj");
    add(language.substr(0, language.find('-')) + ".lproj");
  }
  add("en.lproj");
  add("Base.lproj");
  return folders;
}

}  // namespace

Bundle::Bundle(std::string path) : _path(std::move(path)) {}

std::shared_ptr<Bundle> Bundle::mainBundle() {
  std::lock_guard lock(mainBundleMutex());
  if (!mainBundleSlot()) mainBundleSlot() = std::make_shared<Bundle>(defaultMainBundlePath());
  return mainBundleSlot();
}

void Bundle::setMainBundlePath(std::optional<std::string> path) {
  std::lock_guard lock(mainBundleMutex());
  mainBundleSlot() = path ? std::make_shared<Bundle>(*path) : nullptr;
}

std::shared_ptr<Bundle> Bundle::bundleWithPath(const std::string& path) {
  bool isDirectory = false;
  if (!FileManager::fileExistsAtPath(path, &isDirectory) || !isDirectory) return nullptr;
  return std::make_shared<Bundle>(path);
}

std::optional<std::string> Bundle::pathForResource(std::string_view name, std::string_view type,
                                                   std::string_view directory) const {
  if (name.empty()) return std::nullopt;
  std::string fileName(name);
  if (!type.empty()) fileName += "." + std::string(type);
  std::string base = directory.empty() ? _path
                                       : FileManager::stringByAppendingPathComponent(
                                             _path, std::string(directory));
  auto existing = [](const std::string& path) -> std::optional<std::string> {
    bool isDirectory = false;
    if (FileManager::fileExistsAtPath(path, &isDirectory)) return path;
    return std::nullopt;
  };
  if (auto path = existing(FileManager::stringByAppendingPathComponent(base, fileName)))
    return path;
  for (const std::string& folder : languageFolders()) {
    std::string localized = FileManager::stringByAppendingPathComponent(
        FileManager::stringByAppendingPathComponent(base, folder), fileName);
    if (auto path = existing(localized)) return path;
  }
  return std::nullopt;
}

std::shared_ptr<const StringsTable::Entries> Bundle::stringsTableAtPath(
    const std::string& path) const {
  std::lock_guard lock(_tablesMutex);
  if (auto found = _tables.find(path); found != _tables.end()) return found->second;
  // A missing table is looked for again next time; only files that exist are kept.
  bool isDirectory = false;
  if (!FileManager::fileExistsAtPath(path, &isDirectory) || isDirectory) return nullptr;
  auto entries = StringsTable::readFile(path);
  auto table = std::make_shared<const StringsTable::Entries>(entries ? std::move(*entries)
                                                                     : StringsTable::Entries{});
  _tables.emplace(path, table);
  return table;
}

std::optional<std::string> Bundle::findLocalizedStringForKey(std::string_view key,
                                                             std::string_view table) const {
  std::string fileName =
      (table.empty() ? std::string("Localizable") : std::string(table)) + ".strings";
  std::vector<std::string> paths;
  for (const std::string& folder : languageFolders())
    paths.push_back(FileManager::stringByAppendingPathComponent(
        FileManager::stringByAppendingPathComponent(_path, folder), fileName));
  paths.push_back(FileManager::stringByAppendingPathComponent(_path, fileName));
  for (const std::string& path : paths) {
    auto entries = stringsTableAtPath(path);
    if (!entries) continue;
    if (auto found = entries->find(key); found != entries->end()) return found->second;
  }
  return std::nullopt;
}

std::string Bundle::localizedStringForKey(std::string_view key, std::string_view value,
                                          std::string_view table) const {
  if (auto found = findLocalizedStringForKey(key, table)) return *found;
  return std::string(value.empty() ? key : value);
}

const Dictionary& Bundle::infoDictionary() const {
  std::call_once(_infoOnce, [this] {
    std::string path = FileManager::stringByAppendingPathComponent(_path, "Info.plist");
    if (!FileManager::fileExistsAtPath(path)) return;
    auto value = PropertyList::readFile(path);
    if (value && value->dictionary()) {
      _info = std::move(*value->dictionary());
    } else {
      Console::logf("Bundle: %s is not a property-list dictionary", path.c_str());
    }
  });
  return _info;
}

const Value& Bundle::objectForInfoDictionaryKey(std::string_view key) const {
  return valueForKey(infoDictionary(), key);
}

std::optional<std::string> Bundle::bundleIdentifier() const {
  if (auto identifier = objectForInfoDictionaryKey("CFBundleIdentifier").string())
    return *identifier;
  return std::nullopt;
}

}  // namespace platform
