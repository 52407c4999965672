#include "SVGView/SVGFileStream.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SVGFileStream::~SVGFileStream() {
  close();
}

bool SVGFileStream::open(const std::string& path) {
  close();
  struct stat info;
  // Only plain files: a folder reads as nothing, and opening a named pipe waits for a writer.
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  _fileSize = info.st_size;
  do {
    _fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (_fd < 0 && errno == EINTR);
  return _fd >= 0;
}

void SVGFileStream::close() {
  if (_fd >= 0) ::close(_fd);
  _fd = -1;
}

bool SVGFileStream::Next(const void** data, int* size) {
  if (_fd < 0) return false;
  ssize_t count;
  do {
    count = ::read(_fd, _buffer, sizeof _buffer);
  } while (count < 0 && errno == EINTR);
  if (count <= 0) return false;
  *data = _buffer;
  *size = static_cast<int>(count);
  return true;
}

void SVGFileStream::BackUp(int count) {
  if (_fd >= 0) ::lseek(_fd, -static_cast<off_t>(count), SEEK_CUR);
}

bool SVGFileStream::Skip(int count) {
  if (_fd < 0) return false;
  // Seeking past the end succeeds; the next read then reports the end of the data.
  return ::lseek(_fd, count, SEEK_CUR) > 0;
}

int64_t SVGFileStream::ByteCount() const {
  return _fileSize;
}
