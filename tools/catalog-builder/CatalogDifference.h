#pragma once

#include <string>
#include <vector>

#include "CatalogManifest.h"
#include "ScreenKind.h"

// What changed between two versions, each list in name order: names only the newer one has,
// names whose content hash differs, names only the older one has.
struct CatalogDifference {
  std::vector<std::string> added;
  std::vector<std::string> changed;
  std::vector<std::string> removed;

  bool empty() const { return added.empty() && changed.empty() && removed.empty(); }

  // Between the kind's catalogues of two versions.
  static CatalogDifference between(const CatalogManifest& older, const CatalogManifest& newer,
                                   ScreenKind kind);
  // Between all files of two versions, whatever the kinds list.
  static CatalogDifference betweenFiles(const CatalogManifest& older, const CatalogManifest& newer);
};
