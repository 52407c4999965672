#include "CatalogManifest.h"

#include <algorithm>
#include <cstdint>

#include "CatalogAnswers.h"
#include "Content/ContentName.h"
#include "ContentHash.h"

using platform::Array;
using platform::Dictionary;
using platform::Value;

namespace {

constexpr int kFormat = 1;

std::vector<std::string>& listOf(ScreenKind kind, std::vector<std::string>& standard,
                                 std::vector<std::string>& tall) {
  return kind == ScreenKind::Tall ? tall : standard;
}

}  // namespace

CatalogManifest::CatalogManifest(int version, Files files)
    : _version(version), _files(std::move(files)) {
  for (const auto& [name, hash] : _files) {
    for (ScreenKind kind : ScreenKinds::kAll) {
      if (ScreenKinds::admits(kind, name)) listOf(kind, _standard, _tall).push_back(name);
    }
  }
}

const std::vector<std::string>& CatalogManifest::names(ScreenKind kind) const {
  return kind == ScreenKind::Tall ? _tall : _standard;
}

const std::string* CatalogManifest::hashOf(ScreenKind kind, std::string_view name) const {
  const std::vector<std::string>& list = names(kind);
  auto it = std::lower_bound(list.begin(), list.end(), name);
  if (it == list.end() || *it != name) return nullptr;
  auto file = _files.find(name);
  return file == _files.end() ? nullptr : &file->second;
}

Value CatalogManifest::toValue() const {
  Dictionary files;
  for (const auto& [name, hash] : _files) files.emplace(name, Value(hash));
  Dictionary manifest;
  manifest.emplace("format", Value(kFormat));
  manifest.emplace("version", Value(_version));
  manifest.emplace("files", Value(std::move(files)));
  for (ScreenKind kind : ScreenKinds::kAll)
    manifest.emplace(std::string(ScreenKinds::pathName(kind)),
                     CatalogAnswers::namesValue(names(kind)));
  return manifest;
}

std::optional<CatalogManifest> CatalogManifest::fromValue(const Value& value, std::string& error) {
  const Dictionary* object = value.dictionary();
  if (!object) {
    error = "not a JSON object";
    return std::nullopt;
  }
  if (platform::valueForKey(*object, "format").integerValue() != kFormat) {
    error = "unknown format (expected \"format\": 1)";
    return std::nullopt;
  }
  auto version = platform::valueForKey(*object, "version").integerValue();
  if (!version || *version < 1 || *version > INT32_MAX) {
    error = "\"version\" is not a positive integer";
    return std::nullopt;
  }
  const Dictionary* files = platform::valueForKey(*object, "files").dictionary();
  if (!files) {
    error = "\"files\" is not an object";
    return std::nullopt;
  }
  CatalogManifest manifest;
  manifest._version = static_cast<int>(*version);
  for (const auto& [name, hash] : *files) {
    const std::string* text = hash.string();
    if (!ContentName::isSafeFileName(name) || !text || !ContentHash::isContentHash(*text)) {
      error = "bad entry \"" + name + "\" in \"files\"";
      return std::nullopt;
    }
    manifest._files.emplace(name, *text);
  }
  for (ScreenKind kind : ScreenKinds::kAll) {
    std::string key(ScreenKinds::pathName(kind));
    const Array* names = platform::valueForKey(*object, key).array();
    if (!names) {
      error = "\"" + key + "\" is not an array";
      return std::nullopt;
    }
    std::vector<std::string>& list = listOf(kind, manifest._standard, manifest._tall);
    for (const Value& entry : *names) {
      const std::string* name = entry.string();
      if (!name || !manifest._files.contains(*name)) {
        error = "\"" + key + "\" lists a name that \"files\" lacks";
        return std::nullopt;
      }
      list.push_back(*name);
    }
    std::sort(list.begin(), list.end());
    if (std::adjacent_find(list.begin(), list.end()) != list.end()) {
      error = "\"" + key + "\" lists a name twice";
      return std::nullopt;
    }
  }
  return manifest;
}
