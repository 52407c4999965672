#include "CatalogAnswers.h"

#include "CatalogDifference.h"
#include "Content/ContentName.h"

using platform::Array;
using platform::Dictionary;
using platform::Value;

namespace CatalogAnswers {

Value namesValue(const std::vector<std::string>& names) {
  Array array;
  array.reserve(names.size());
  for (const std::string& name : names) array.emplace_back(name);
  return array;
}

std::string baseURL(std::string_view root, ScreenKind kind) {
  while (root.ends_with('/')) root.remove_suffix(1);
  return std::string(root) + "/" + std::string(ScreenKinds::pathName(kind)) + "/";
}

Value nodes(const std::vector<std::string>& roots, ScreenKind kind) {
  Array array;
  for (const std::string& root : roots) array.emplace_back(baseURL(root, kind));
  return array;
}

Value fullList(const CatalogManifest& manifest, ScreenKind kind) {
  Dictionary answer;
  answer.emplace("ver", Value(std::to_string(manifest.version())));
  answer.emplace("curList", namesValue(manifest.names(kind)));
  return answer;
}

Value difference(const CatalogManifest& older, const CatalogManifest& current, ScreenKind kind) {
  CatalogDifference difference = CatalogDifference::between(older, current, kind);
  Dictionary diff;
  diff.emplace("new", namesValue(difference.added));
  diff.emplace("chg", namesValue(difference.changed));
  diff.emplace("del", namesValue(difference.removed));
  Dictionary answer;
  answer.emplace("ver", Value(std::to_string(current.version())));
  answer.emplace("diff", Value(std::move(diff)));
  return answer;
}

Value list(const Catalog& catalog, ScreenKind kind, const std::optional<std::string>& dif) {
  const CatalogManifest* older = dif ? catalog.manifestNamed(*dif) : nullptr;
  if (!older) return fullList(catalog.current(), kind);
  return difference(*older, catalog.current(), kind);
}

std::optional<std::string> fileHash(const Catalog& catalog, ScreenKind kind,
                                    const std::optional<std::string>& ver, std::string_view name) {
  if (!ContentName::isSafeFileName(name)) return std::nullopt;
  if (const CatalogManifest* then = ver ? catalog.manifestNamed(*ver) : nullptr) {
    if (const std::string* hash = then->hashOf(kind, name)) return *hash;
  }
  if (const std::string* hash = catalog.current().hashOf(kind, name)) return *hash;
  return std::nullopt;
}

std::string_view mimeType(std::string_view fileName) {
  std::string_view extension = ContentName::pathExtension(fileName);
  if (extension == "png") return "image/png";
  if (extension == "jpg" || extension == "jpeg") return "image/jpeg";
  return "application/octet-stream";
}

}  // namespace CatalogAnswers
