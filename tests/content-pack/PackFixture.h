#pragma once

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Content/ContentName.h"

// The built pack's file names, and the same grouped by base name.
namespace pack_fixture {

inline std::vector<std::string> fileNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(CONTENT_PACK_DIR, error), end; !error && it != end;
       it.increment(error))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

inline std::map<std::string, std::vector<std::string>> itemFiles() {
  std::map<std::string, std::vector<std::string>> items;
  for (const std::string& name : fileNames()) items[ContentName::baseName(name)].push_back(name);
  return items;
}

inline std::string path(const std::string& name) {
  return std::string(CONTENT_PACK_DIR) + "/" + name;
}

}  // namespace pack_fixture
