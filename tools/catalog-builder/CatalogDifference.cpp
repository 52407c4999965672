#include "CatalogDifference.h"

namespace {

// Both lookups give the hash of a name or null; the name lists are in name order.
template <class OlderHash, class NewerHash>
CatalogDifference compare(const std::vector<std::string>& olderNames,
                          const std::vector<std::string>& newerNames, OlderHash olderHash,
                          NewerHash newerHash) {
  CatalogDifference difference;
  for (const std::string& name : newerNames) {
    const std::string* before = olderHash(name);
    if (!before) {
      difference.added.push_back(name);
    } else if (*before != *newerHash(name)) {
      difference.changed.push_back(name);
    }
  }
  for (const std::string& name : olderNames) {
    if (!newerHash(name)) difference.removed.push_back(name);
  }
  return difference;
}

std::vector<std::string> namesOf(const CatalogManifest::Files& files) {
  std::vector<std::string> names;
  names.reserve(files.size());
  for (const auto& entry : files) names.push_back(entry.first);
  return names;
}

const std::string* find(const CatalogManifest::Files& files, const std::string& name) {
  auto it = files.find(name);
  return it == files.end() ? nullptr : &it->second;
}

}  // namespace

CatalogDifference CatalogDifference::between(const CatalogManifest& older,
                                             const CatalogManifest& newer, ScreenKind kind) {
  return compare(
      older.names(kind), newer.names(kind),
      [&](const std::string& name) { return older.hashOf(kind, name); },
      [&](const std::string& name) { return newer.hashOf(kind, name); });
}

CatalogDifference CatalogDifference::betweenFiles(const CatalogManifest& older,
                                                  const CatalogManifest& newer) {
  return compare(
      namesOf(older.files()), namesOf(newer.files()),
      [&](const std::string& name) { return find(older.files(), name); },
      [&](const std::string& name) { return find(newer.files(), name); });
}
