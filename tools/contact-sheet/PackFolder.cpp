#include "PackFolder.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "Content/ContentName.h"

std::optional<PackFolder> PackFolder::read(const std::string& path, bool tallScreen,
                                           std::string& error) {
  std::error_code code;
  if (!std::filesystem::is_directory(path, code)) {
    error = path + " is not a folder";
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (std::filesystem::directory_iterator it(path, code), end; !code && it != end;
       it.increment(code))
    if (it->is_regular_file(code)) names.push_back(it->path().filename().string());
  if (code) {
    error = "cannot read " + path + ": " + code.message();
    return std::nullopt;
  }
  std::sort(names.begin(), names.end());

  PackFolder folder;
  std::array<std::vector<std::string>, kContentTypeCount> lists;
  for (const std::string& name : names) {
    ContentType type = ContentName::type(name);
    if (type == ContentTypeNone ||
        !ContentName::isAcceptedLocalFile(name, tallScreen, lists[type])) {
      folder._ignored.push_back(name);
      continue;
    }
    lists[type].push_back(name);
  }
  for (int type = 0; type < kContentTypeCount; ++type) {
    std::set<std::string> bases;
    for (const std::string& name : lists[type]) bases.insert(ContentName::baseName(name));
    std::vector<std::string> ordered(bases.begin(), bases.end());
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& left, const auto& right) {
      return ContentName::numberFromStringOrZero(left) < ContentName::numberFromStringOrZero(right);
    });
    for (const std::string& base : ordered) {
      auto files = ContentName::fileNamesForBaseName(base, lists[type], std::vector<std::string>{});
      if (files) folder._items[type].emplace_back(base, std::move(*files), path);
    }
  }
  return folder;
}

std::array<int, kContentTypeCount> PackFolder::counts() const {
  std::array<int, kContentTypeCount> counts{};
  for (int type = 0; type < kContentTypeCount; ++type)
    counts[type] = static_cast<int>(_items[type].size());
  return counts;
}
