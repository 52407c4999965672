#pragma once

#include <string>
#include <vector>

#include "CatalogWatcher.h"
#include "ServerAnswer.h"
#include "ServerRequest.h"

// The content protocol's answers for one kind's path: "?act=nodes", "?act=list[&dif=V]" and
// "?act=get&ver=V&n=NAME"; 404 for anything else.
class ProtocolHandler {
 public:
  // `roots` are the server roots announced by "?act=nodes" ("http://host:port" and any extra).
  ProtocolHandler(CatalogWatcher& watcher, std::vector<std::string> roots, size_t gzipThreshold)
      : _watcher(watcher), _roots(std::move(roots)), _gzipThreshold(gzipThreshold) {}

  ServerAnswer answer(const ServerRequest& request) const;

 private:
  ServerAnswer json(const platform::Value& value) const;
  ServerAnswer file(const Catalog& catalog, const ServerRequest& request) const;

  CatalogWatcher& _watcher;
  std::vector<std::string> _roots;
  size_t _gzipThreshold;
};
