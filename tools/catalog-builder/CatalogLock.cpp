#include "CatalogLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

CatalogLock::CatalogLock(const std::string& path) {
  _fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (_fd < 0) return;
  int status;
  do {
    status = flock(_fd, LOCK_EX);
  } while (status != 0 && errno == EINTR);
  if (status != 0) {
    close(_fd);
    _fd = -1;
  }
}

CatalogLock::~CatalogLock() {
  if (_fd >= 0) close(_fd);
}
