#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/StringsTable.h"
#include "Foundation/Value.h"

namespace platform {

// A folder of resources with an information dictionary ("Info.plist"). The main bundle is the
// application's Resources folder: beside the executable when installed, else the source tree's,
// unless a host or test points it elsewhere.
class Bundle {
 public:
  static std::shared_ptr<Bundle> mainBundle();
  // Makes the main bundle the folder at `path` (nothing: back to the default).
  static void setMainBundlePath(std::optional<std::string> path);
  // A bundle for a folder, or null when there is no such folder.
  static std::shared_ptr<Bundle> bundleWithPath(const std::string& path);

  const std::string& bundlePath() const { return _path; }
  const std::string& resourcePath() const { return _path; }

  // The path of "name.type" ("name" alone when `type` is empty) inside `directory` of the bundle:
  // first unlocalized, then in the language folders ("xx.lproj") of the user's preferred
  // languages, then in the development language's ("en.lproj", "Base.lproj"). Nothing when none
  // exists.
  std::optional<std::string> pathForResource(std::string_view name, std::string_view type,
                                             std::string_view directory = {}) const;

  // The translation of `key` in the string table `table` ("Localizable" when empty): from the
  // language folders of the user's preferred languages in order, the first whose table has the
  // key, then from the unlocalized table. Found nowhere: `value` when not empty, else the key.
  std::string localizedStringForKey(std::string_view key, std::string_view value,
                                    std::string_view table) const;
  // The same lookup without a default: nothing when no table has the key.
  std::optional<std::string> findLocalizedStringForKey(std::string_view key,
                                                       std::string_view table) const;

  // Read once, on first use; empty when the file is missing or unreadable.
  const Dictionary& infoDictionary() const;
  const Value& objectForInfoDictionaryKey(std::string_view key) const;
  std::optional<std::string> bundleIdentifier() const;

  explicit Bundle(std::string path);

 private:
  std::string _path;
  mutable std::once_flag _infoOnce;
  mutable Dictionary _info;
  // Tables read so far by path; a malformed one is kept empty so that it is reported once.
  mutable std::mutex _tablesMutex;
  mutable std::map<std::string, std::shared_ptr<const StringsTable::Entries>, std::less<>> _tables;

  std::shared_ptr<const StringsTable::Entries> stringsTableAtPath(const std::string& path) const;
};

}  // namespace platform
