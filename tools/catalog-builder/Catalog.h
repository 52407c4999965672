#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "CatalogFolder.h"
#include "CatalogManifest.h"

// A catalogue folder read into memory: every published version's manifest, checked, with the
// objects they name present. Immutable once opened, so servers share it between threads.
class Catalog {
 public:
  // Reads the head and all manifests. Manifests of `previous` are reused when it was read from
  // the same catalogue (published versions never change). Nothing, with the reason in `error`,
  // when the folder is missing or anything in it is corrupt.
  static std::shared_ptr<const Catalog> open(const std::string& folder, std::string& error,
                                             const Catalog* previous = nullptr);

  const CatalogFolder& folder() const { return _folder; }
  const std::string& identifier() const { return _identifier; }
  int currentVersion() const { return _current->version(); }
  // The newest version; version 0 with no files while nothing is published.
  const CatalogManifest& current() const { return *_current; }
  // A published version, or null.
  const CatalogManifest* manifest(int version) const;
  // The published version that a request names: its decimal form exactly ("3", not "03" or
  // "3x"), or nothing.
  const CatalogManifest* manifestNamed(std::string_view version) const;

 private:
  explicit Catalog(CatalogFolder folder) : _folder(std::move(folder)) {}

  CatalogFolder _folder;
  std::string _identifier;
  std::map<int, std::shared_ptr<const CatalogManifest>> _versions;
  std::shared_ptr<const CatalogManifest> _current = std::make_shared<const CatalogManifest>();
};
