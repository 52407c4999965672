#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "Catalog.h"

// Keeps a server's catalogue in step with its folder. Each look costs one stat of the head
// file; the catalogue is read again only when the head changed (a publish renames a new head
// into place). When the new state cannot be read, the last good catalogue stays in service.
class CatalogWatcher {
 public:
  explicit CatalogWatcher(std::string folder) : _folder(std::move(folder)) {}

  // Reads the catalogue now; false, with the reason in `error`, when it cannot be read.
  bool load(std::string& error);
  // The catalogue as published now (the last good one if the folder went bad since).
  std::shared_ptr<const Catalog> current();

 private:
  using Signature = std::tuple<bool, unsigned long, unsigned long, long, long, long>;
  Signature headSignature() const;

  std::string _folder;
  std::mutex _mutex;
  std::shared_ptr<const Catalog> _catalog;
  Signature _signature{};
  Signature _failedSignature{};  // a bad state is reported once, not on every request
};
