#pragma once

#include <string>

// An exclusive advisory lock on a file, held for the life of the object (flock). Keeps two
// publishers from choosing the same version number.
class CatalogLock {
 public:
  explicit CatalogLock(const std::string& path);
  ~CatalogLock();
  CatalogLock(const CatalogLock&) = delete;
  CatalogLock& operator=(const CatalogLock&) = delete;

  bool locked() const { return _fd >= 0; }

 private:
  int _fd = -1;
};
