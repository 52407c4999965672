#include "ProtocolHandler.h"

#include <cstdio>

#include "AnswerEncoding.h"
#include "CatalogAnswers.h"
#include "Foundation/FileManager.h"

ServerAnswer ProtocolHandler::answer(const ServerRequest& request) const {
  if (!request.kind || (request.method != "GET" && request.method != "HEAD"))
    return ServerAnswer::notFound();
  std::shared_ptr<const Catalog> catalog = _watcher.current();
  if (!catalog) return ServerAnswer::text(503, "no catalogue\n");
  if (request.act == "nodes" || request.act == "list") return listAnswer(catalog, request);
  if (request.act == "get") return file(*catalog, request);
  return ServerAnswer::notFound();
}

ServerAnswer ProtocolHandler::listAnswer(const std::shared_ptr<const Catalog>& catalog,
                                         const ServerRequest& request) const {
  bool nodes = request.act == "nodes";
  auto dif = nodes ? std::nullopt : request.parameter("dif");
  const CatalogManifest* from = dif ? catalog->manifestNamed(*dif) : nullptr;
  AnswerKey key{nodes, static_cast<int>(*request.kind), from ? from->version() : 0};
  {
    std::lock_guard lock(_cacheMutex);
    if (_cachedCatalog != catalog) {
      _cachedCatalog = catalog;
      _cachedAnswers.clear();
    }
    auto kept = _cachedAnswers.find(key);
    if (kept != _cachedAnswers.end()) return kept->second;
  }
  ServerAnswer made = nodes ? json(CatalogAnswers::nodes(_roots, *request.kind))
                            : json(CatalogAnswers::list(*catalog, *request.kind, dif));
  std::lock_guard lock(_cacheMutex);
  if (_cachedCatalog == catalog && made.status == 200) _cachedAnswers.emplace(key, made);
  return made;
}

ServerAnswer ProtocolHandler::json(const platform::Value& value) const {
  auto encoded = AnswerEncoding::encodeJSON(value, _gzipThreshold);
  if (!encoded) return ServerAnswer::text(500, "answer cannot be encoded\n");
  return ServerAnswer{200, std::string(AnswerEncoding::kJSONType), std::move(encoded->body),
                      encoded->gzip};
}

ServerAnswer ProtocolHandler::file(const Catalog& catalog, const ServerRequest& request) const {
  auto name = request.parameter("n");
  if (!name) return ServerAnswer::notFound();
  auto hash = CatalogAnswers::fileHash(catalog, *request.kind, request.parameter("ver"), *name);
  if (!hash) return ServerAnswer::notFound();
  std::string path = catalog.folder().objectPath(*hash);
  auto data = platform::FileManager::contentsAtPath(path);
  if (!data) {
    std::fprintf(stderr, "reference-server: %s: cannot be read\n", path.c_str());
    return ServerAnswer::text(500, "content cannot be read\n");
  }
  return ServerAnswer{200, std::string(CatalogAnswers::mimeType(*name)), std::move(*data), false};
}
