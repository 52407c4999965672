#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "Content/ContentType.h"
#include "PackItem.h"

// The items of a folder of content files, as a device would list them: every file name goes
// through the application's acceptance rule for that device (standard or tall screen), and the
// accepted names are grouped by base name. Items come in the order of their numbers.
class PackFolder {
 public:
  // None, with `error` set, when the folder cannot be read.
  static std::optional<PackFolder> read(const std::string& path, bool tallScreen,
                                        std::string& error);

  const std::vector<PackItem>& itemsOfType(ContentType type) const { return _items.at(type); }
  std::array<int, kContentTypeCount> counts() const;
  // Files the device does not list: not content, or the other screen's variants.
  const std::vector<std::string>& ignoredFiles() const { return _ignored; }

 private:
  std::array<std::vector<PackItem>, kContentTypeCount> _items;
  std::vector<std::string> _ignored;
};
