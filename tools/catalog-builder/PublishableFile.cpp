#include "PublishableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Content/ContentName.h"
#include "Graphics/ImageDecoder.h"

namespace {

std::string systemReason(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

std::optional<platform::Bytes> PublishableFile::read(const std::string& path, std::string_view name,
                                                     bool checkPictures, std::string& reason) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) {
    reason = systemReason("cannot be examined");
    return std::nullopt;
  }
  if (S_ISLNK(info.st_mode)) {
    reason = "a symbolic link; links are not followed";
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    reason = "not a regular file";
    return std::nullopt;
  }
  // O_NOFOLLOW and O_NONBLOCK: an entry swapped for a link or a pipe since the look above is
  // refused rather than followed or waited on.
  Descriptor file{open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) {
    reason =
        errno == ELOOP ? "a symbolic link; links are not followed" : systemReason("cannot be read");
    return std::nullopt;
  }
  if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    reason = "not a regular file";
    return std::nullopt;
  }
  if (info.st_size == 0) {
    reason = "empty";
    return std::nullopt;
  }
  if (static_cast<unsigned long long>(info.st_size) > kMaximumSize) {
    reason =
        "larger than " + std::to_string(kMaximumSize >> 20) + " MiB, more than a device accepts";
    return std::nullopt;
  }
  platform::Bytes data(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < data.size()) {
    ssize_t got = ::read(file.fd, data.data() + done, data.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      reason = systemReason("cannot be read");
      return std::nullopt;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  if (done != data.size()) {
    reason = "changed while it was read";
    return std::nullopt;
  }
  std::string_view extension = ContentName::pathExtension(name);
  bool picture = extension == "png" || extension == "jpg" || extension == "jpeg";
  if (checkPictures && picture && !platform::ImageDecoder::decode(data)) {
    reason = "a picture that does not decode";
    return std::nullopt;
  }
  return data;
}
