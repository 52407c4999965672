#pragma once

#include <optional>
#include <string>

#include "CatalogManifest.h"
#include "Foundation/Value.h"

// A catalogue folder on disk:
//   catalog.json       the head: {"format": 1, "catalog": ID, "current": N}
//   versions/N.json    the manifest of version N (name -> content hash, and the kinds' lists)
//   objects/HASH       file contents by SHA-256, shared by every version that has them
// Objects and manifests are written before the head names them, each atomically, so a reader
// that goes by the head never sees a half-published version.
class CatalogFolder {
 public:
  struct Head {
    std::string identifier;  // random; tells a re-created folder from the one a reader knew
    int current = 0;         // 0 while nothing is published
  };

  explicit CatalogFolder(std::string path) : _path(std::move(path)) {}

  const std::string& path() const { return _path; }
  std::string headPath() const;
  std::string manifestPath(int version) const;
  std::string objectPath(const std::string& hash) const;

  // The head; {"", 0} for an existing folder where nothing was published yet. Nothing, with
  // the reason in `error`, when the folder is missing or the head is unreadable or corrupt.
  std::optional<Head> readHead(std::string& error) const;
  std::optional<CatalogManifest> readManifest(int version, std::string& error) const;
  bool hasObject(const std::string& hash) const;

  // Creates the subfolders of an existing folder.
  bool prepare(std::string& error) const;
  // Stores bytes under their hash; an object already there is kept.
  bool writeObject(const std::string& hash, const platform::Bytes& data, std::string& error) const;
  bool writeManifest(const CatalogManifest& manifest, std::string& error) const;
  bool writeHead(const Head& head, std::string& error) const;

 private:
  std::string _path;
};
