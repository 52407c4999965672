#include "Content/ContentName.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <utility>

namespace ContentName {

namespace {

constexpr std::array<std::pair<std::string_view, ContentType>, 5> kTypePrefixes{{
    {"fon", ContentTypeBackground},
    {"tbframe", ContentTypeTBFrame},
    {"clipart", ContentTypeClipart},
    {"frame", ContentTypePhotoFrame},
    {"face", ContentTypeFaceEffect},
}};

constexpr std::array<std::string_view, 4> kContentExtensions{"svgpb", "png", "jpg", "jpeg"};

// Where the extension's dot is, or npos: the last dot of the last path component, unless it
// starts that component (a hidden file has no extension).
std::size_t extensionDot(std::string_view name) {
  std::size_t slash = name.find_last_of('/');
  std::size_t componentStart = slash == std::string_view::npos ? 0 : slash + 1;
  std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot <= componentStart) return std::string_view::npos;
  return dot;
}

void removeAll(std::string& text, std::string_view marker) {
  std::size_t at = 0;
  while ((at = text.find(marker, at)) != std::string::npos) text.erase(at, marker.size());
}

bool contains(const std::vector<std::string>& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

// Characters, not bytes: UTF-8 continuation bytes do not start a character.
std::size_t characterCount(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The catalog's names with the base name, in name order: the map itself has no order, and
// copying only the matches keeps a lookup from copying the whole catalog.
std::vector<std::string> keysWithBaseName(const VersionMap& map, std::string_view base) {
  std::vector<std::string> keys;
  for (const auto& entry : map) {
    if (ContentName::hasBaseName(entry.first, base)) keys.push_back(entry.first);
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

}  // namespace

bool containsString(std::string_view name, std::string_view text) {
  return name.find(text) != std::string_view::npos;
}

std::string_view pathExtension(std::string_view name) {
  std::size_t dot = extensionDot(name);
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

std::string_view deletingPathExtension(std::string_view name) {
  std::size_t dot = extensionDot(name);
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string baseName(std::string_view name) {
  std::string base(deletingPathExtension(name));
  removeAll(base, kTallScreenMarker);
  removeAll(base, kSmallMarker);
  removeAll(base, kMaskMarker);
  return base;
}

bool hasBaseName(std::string_view name, std::string_view base) {
  return baseName(name) == base;
}

ContentType type(std::string_view name) {
  for (const auto& [prefix, contentType] : kTypePrefixes) {
    if (name.starts_with(prefix)) return contentType;
  }
  return ContentTypeNone;
}

bool isSafeFileName(std::string_view name) {
  if (name.empty() || name.front() == '.') return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F;
  });
}

bool isAcceptedLocalFile(std::string_view name, bool tallScreen,
                         const std::vector<std::string>& localListOfType) {
  if (!isSafeFileName(name)) return false;
  if (tallScreen) {
    if (!containsString(name, kTallScreenMarker) && !containsString(name, kSmallMarker)) {
      return false;
    }
  } else if (containsString(name, kTallScreenMarker)) {
    return false;
  }
  if (name.ends_with(kDoubleResolutionSuffix)) return false;
  std::string_view extension = pathExtension(name);
  if (std::find(kContentExtensions.begin(), kContentExtensions.end(), extension) ==
      kContentExtensions.end()) {
    return false;
  }
  if (type(name) == ContentTypeNone) return false;
  return !contains(localListOfType, name);
}

std::optional<std::vector<std::string>> fileNamesForBaseName(
    std::string_view base, const std::vector<std::string>& localListOfType,
    const std::vector<std::string>& serverFileNames) {
  if (type(base) == ContentTypeNone) {
    if (base == kEmptyBaseName) {
      return std::vector<std::string>{std::string(kEmptyFileName),
                                      std::string(kEmptySmallFileName)};
    }
    return std::nullopt;
  }
  std::vector<std::string> names;
  auto collect = [&](const std::vector<std::string>& source) {
    for (const std::string& name : source) {
      if (isSafeFileName(name) && hasBaseName(name, base) && !contains(names, name)) {
        names.push_back(name);
      }
    }
  };
  collect(localListOfType);
  collect(serverFileNames);
  if (names.empty()) return std::nullopt;
  return names;
}

std::optional<std::vector<std::string>> fileNamesForBaseName(
    std::string_view base, const std::vector<std::string>& localListOfType,
    const VersionMap& serverContent) {
  return fileNamesForBaseName(base, localListOfType, keysWithBaseName(serverContent, base));
}

std::optional<std::vector<std::string>> namesForBaseName(
    std::string_view base, const std::vector<std::string>& serverFileNames) {
  std::vector<std::string> names;
  for (const std::string& name : serverFileNames) {
    if (isSafeFileName(name) && hasBaseName(name, base) && !contains(names, name)) {
      names.push_back(name);
    }
  }
  if (names.empty()) return std::nullopt;
  return names;
}

std::optional<std::vector<std::string>> namesForBaseName(std::string_view base,
                                                         const VersionMap& serverContent) {
  return namesForBaseName(base, keysWithBaseName(serverContent, base));
}

std::string versionWithFileNames(const std::vector<std::string>& fileNames,
                                 const VersionMap& downloadedVersions) {
  int version = 0;
  for (const std::string& name : fileNames) {
    auto entry = downloadedVersions.find(name);
    if (entry != downloadedVersions.end()) version = std::max(version, intValue(entry->second));
  }
  return std::to_string(version);
}

int intValue(std::string_view text) {
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  long long value = 0;  // kept within [0, INT_MAX + 1] so it never overflows
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = std::min(value * 10 + (text[at] - '0'), kLimit);
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(std::min<long long>(value, INT_MAX));
}

int numberFromStringOrZero(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (c >= 0x30 && c <= 0x3B) kept.push_back(c);
  }
  return kept.empty() ? 0 : intValue(kept);
}

bool precedesInDownloadOrder(std::string_view left, std::string_view right) {
  std::string_view leftStem = deletingPathExtension(left);
  std::string_view rightStem = deletingPathExtension(right);
  std::size_t leftLength = characterCount(leftStem);
  std::size_t rightLength = characterCount(rightStem);
  if (leftLength != rightLength) return leftLength < rightLength;
  if (leftStem != rightStem) return leftStem < rightStem;
  return left < right;
}

void sortInDownloadOrder(std::vector<std::string>& baseNames) {
  // Each name's key is worked out once, so that a long list costs no more per comparison.
  struct Keyed {
    std::size_t length;
    std::string_view stem;
    std::string* name;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(baseNames.size());
  for (std::string& name : baseNames) {
    std::string_view stem = deletingPathExtension(name);
    keyed.push_back(Keyed{characterCount(stem), stem, &name});
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& left, const Keyed& right) {
    if (left.length != right.length) return left.length < right.length;
    if (left.stem != right.stem) return left.stem < right.stem;
    return *left.name < *right.name;
  });
  std::vector<std::string> sorted;
  sorted.reserve(keyed.size());
  for (const Keyed& entry : keyed) sorted.push_back(std::move(*entry.name));
  baseNames = std::move(sorted);
}

}  // namespace ContentName
