#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Content/ContentItem.h"

// The sample decoration pack as a device's catalogue, for the gallery's pages: the pack's files
// copied into the content folder of a temporary app container (the user's own container is
// never touched), the shared catalogue built from them. The container goes with the object.
class SamplePackCatalog {
 public:
  explicit SamplePackCatalog(const std::string& packDirectory);
  ~SamplePackCatalog();
  SamplePackCatalog(const SamplePackCatalog&) = delete;
  SamplePackCatalog& operator=(const SamplePackCatalog&) = delete;

  // Every item, type by type in the catalogue's order; empty when the pack could not be read.
  const std::vector<std::shared_ptr<ContentItem>>& items() const { return _items; }
  // Why there are no items, when there are none.
  const std::string& problem() const { return _problem; }

 private:
  std::string _container;
  std::vector<std::shared_ptr<ContentItem>> _items;
  std::string _problem;
};
