#include "CatalogWatcher.h"

#include <sys/stat.h>

#include <cstdio>

#include "CatalogFolder.h"

CatalogWatcher::Signature CatalogWatcher::headSignature() const {
  struct stat info {};
  if (stat(CatalogFolder(_folder).headPath().c_str(), &info) != 0) return Signature{};
  return Signature{true,         info.st_dev,         info.st_ino,
                   info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

bool CatalogWatcher::load(std::string& error) {
  std::lock_guard lock(_mutex);
  Signature signature = headSignature();
  auto catalog = Catalog::open(_folder, error, _catalog.get());
  if (!catalog) return false;
  _catalog = std::move(catalog);
  _signature = signature;
  return true;
}

std::shared_ptr<const Catalog> CatalogWatcher::current() {
  std::lock_guard lock(_mutex);
  Signature signature = headSignature();
  if (signature == _signature || signature == _failedSignature) return _catalog;
  std::string error;
  auto catalog = Catalog::open(_folder, error, _catalog.get());
  if (!catalog) {
    std::fprintf(stderr, "reference-server: keeping version %d: %s\n",
                 _catalog ? _catalog->currentVersion() : 0, error.c_str());
    _failedSignature = signature;
    return _catalog;
  }
  std::printf("reference-server: serving version %d\n", catalog->currentVersion());
  std::fflush(stdout);
  _catalog = std::move(catalog);
  _signature = signature;
  return _catalog;
}
