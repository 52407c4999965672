#include "CatalogFolder.h"

#include <cstdint>

#include "ContentHash.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/FileManager.h"
#include "Foundation/JSONSerialization.h"

using platform::AtomicFile;
using platform::Dictionary;
using platform::FileManager;
using platform::Value;

namespace {

constexpr int kFormat = 1;
// Far beyond any real catalogue; keeps a damaged or hostile file from exhausting memory.
constexpr size_t kMaxJSONFileSize = size_t{256} << 20;

std::optional<Value> readJSON(const std::string& path, std::string& error) {
  auto data = FileManager::contentsAtPath(path, kMaxJSONFileSize);
  if (!data) {
    error = path + ": cannot be read";
    return std::nullopt;
  }
  auto value = platform::JSONSerialization::JSONObjectWithData(*data);
  if (!value) error = path + ": not valid JSON";
  return value;
}

bool writeJSON(const std::string& path, const Value& value, std::string& error) {
  auto text = platform::JSONSerialization::dataWithJSONObject(value);
  if (!text || !AtomicFile::write(path, platform::Bytes(text->begin(), text->end()))) {
    error = path + ": cannot be written";
    return false;
  }
  return true;
}

}  // namespace

std::string CatalogFolder::headPath() const {
  return FileManager::stringByAppendingPathComponent(_path, "catalog.json");
}

std::string CatalogFolder::manifestPath(int version) const {
  return FileManager::stringByAppendingPathComponent(
      _path, "versions/" + std::to_string(version) + ".json");
}

std::string CatalogFolder::objectPath(const std::string& hash) const {
  return FileManager::stringByAppendingPathComponent(_path, "objects/" + hash);
}

std::optional<CatalogFolder::Head> CatalogFolder::readHead(std::string& error) const {
  bool isDirectory = false;
  if (!FileManager::fileExistsAtPath(_path, &isDirectory) || !isDirectory) {
    error = _path + ": no such folder";
    return std::nullopt;
  }
  if (!FileManager::fileExistsAtPath(headPath())) return Head{};
  auto value = readJSON(headPath(), error);
  if (!value) return std::nullopt;
  const Dictionary* object = value->dictionary();
  auto format = object ? platform::valueForKey(*object, "format").integerValue() : std::nullopt;
  auto current = object ? platform::valueForKey(*object, "current").integerValue() : std::nullopt;
  const std::string* identifier =
      object ? platform::valueForKey(*object, "catalog").string() : nullptr;
  if (format != kFormat || !current || *current < 0 || *current > INT32_MAX || !identifier ||
      !ContentHash::isContentHash(*identifier)) {
    error = headPath() + ": not a catalogue head";
    return std::nullopt;
  }
  return Head{*identifier, static_cast<int>(*current)};
}

std::optional<CatalogManifest> CatalogFolder::readManifest(int version, std::string& error) const {
  std::string path = manifestPath(version);
  auto value = readJSON(path, error);
  if (!value) return std::nullopt;
  auto manifest = CatalogManifest::fromValue(*value, error);
  if (!manifest) {
    error = path + ": " + error;
  } else if (manifest->version() != version) {
    error = path + ": holds version " + std::to_string(manifest->version());
    return std::nullopt;
  }
  return manifest;
}

bool CatalogFolder::hasObject(const std::string& hash) const {
  bool isDirectory = true;
  return FileManager::fileExistsAtPath(objectPath(hash), &isDirectory) && !isDirectory;
}

bool CatalogFolder::prepare(std::string& error) const {
  for (const char* folder : {"versions", "objects"}) {
    std::string path = FileManager::stringByAppendingPathComponent(_path, folder);
    if (!FileManager::createDirectoryAtPath(path, true)) {
      error = path + ": cannot be created";
      return false;
    }
  }
  return true;
}

bool CatalogFolder::writeObject(const std::string& hash, const platform::Bytes& data,
                                std::string& error) const {
  if (hasObject(hash)) return true;
  if (!AtomicFile::write(objectPath(hash), data)) {
    error = objectPath(hash) + ": cannot be written";
    return false;
  }
  return true;
}

bool CatalogFolder::writeManifest(const CatalogManifest& manifest, std::string& error) const {
  return writeJSON(manifestPath(manifest.version()), manifest.toValue(), error);
}

bool CatalogFolder::writeHead(const Head& head, std::string& error) const {
  Dictionary object;
  object.emplace("format", Value(kFormat));
  object.emplace("catalog", Value(head.identifier));
  object.emplace("current", Value(head.current));
  return writeJSON(headPath(), Value(std::move(object)), error);
}
