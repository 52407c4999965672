#include "Catalog.h"

#include <charconv>
#include <set>

std::shared_ptr<const Catalog> Catalog::open(const std::string& folder, std::string& error,
                                             const Catalog* previous) {
  std::shared_ptr<Catalog> catalog(new Catalog(CatalogFolder(folder)));
  auto head = catalog->_folder.readHead(error);
  if (!head) return nullptr;
  catalog->_identifier = head->identifier;
  bool reuse = previous && previous->_identifier == head->identifier;
  std::set<std::string> checkedObjects;
  for (int version = 1; version <= head->current; ++version) {
    if (reuse) {
      if (auto it = previous->_versions.find(version); it != previous->_versions.end()) {
        catalog->_versions.emplace(version, it->second);
        continue;
      }
    }
    auto manifest = catalog->_folder.readManifest(version, error);
    if (!manifest) return nullptr;
    for (const auto& [name, hash] : manifest->files()) {
      if (checkedObjects.insert(hash).second && !catalog->_folder.hasObject(hash)) {
        error = catalog->_folder.objectPath(hash) + ": missing (content of " + name +
                " in version " + std::to_string(version) + ")";
        return nullptr;
      }
    }
    catalog->_versions.emplace(version,
                               std::make_shared<const CatalogManifest>(std::move(*manifest)));
  }
  if (head->current > 0) catalog->_current = catalog->_versions.at(head->current);
  return catalog;
}

const CatalogManifest* Catalog::manifest(int version) const {
  auto it = _versions.find(version);
  return it == _versions.end() ? nullptr : it->second.get();
}

const CatalogManifest* Catalog::manifestNamed(std::string_view version) const {
  int number = 0;
  auto [end, status] = std::from_chars(version.data(), version.data() + version.size(), number);
  if (status != std::errc() || end != version.data() + version.size() ||
      std::to_string(number) != version) {
    return nullptr;
  }
  return manifest(number);
}
