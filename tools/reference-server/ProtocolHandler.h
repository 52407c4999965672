#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "CatalogWatcher.h"
#include "ServerAnswer.h"
#include "ServerRequest.h"

// The content protocol's answers for one kind's path: "?act=nodes", "?act=list[&dif=V]" and
// "?act=get&ver=V&n=NAME"; 404 for anything else. Safe from several threads at once.
class ProtocolHandler {
 public:
  // `roots` are the server roots announced by "?act=nodes" ("http://host:port" and any extra).
  ProtocolHandler(CatalogWatcher& watcher, std::vector<std::string> roots, size_t gzipThreshold)
      : _watcher(watcher), _roots(std::move(roots)), _gzipThreshold(gzipThreshold) {}

  ServerAnswer answer(const ServerRequest& request) const;

 private:
  ServerAnswer json(const platform::Value& value) const;
  ServerAnswer file(const Catalog& catalog, const ServerRequest& request) const;
  // The server-list or list answer, encoded and compressed once per published catalogue.
  ServerAnswer listAnswer(const std::shared_ptr<const Catalog>& catalog,
                          const ServerRequest& request) const;

  CatalogWatcher& _watcher;
  std::vector<std::string> _roots;
  size_t _gzipThreshold;

  // Keyed by (act, kind, from-version): a difference from a version the catalogue does not
  // know is the full list, so it shares the full list's entry (from 0) and the entries stay
  // bounded by the versions. Emptied when a new catalogue is published.
  using AnswerKey = std::tuple<bool, int, int>;
  mutable std::mutex _cacheMutex;
  mutable std::shared_ptr<const Catalog> _cachedCatalog;
  mutable std::map<AnswerKey, ServerAnswer> _cachedAnswers;
};
