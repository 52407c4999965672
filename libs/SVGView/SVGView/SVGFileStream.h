#pragma once

#include <google/protobuf/io/zero_copy_stream.h>

#include <cstdint>
#include <string>

// A zero-copy input stream over a POSIX file descriptor that feeds the ProtoSVG parser, 1024
// bytes at a time through its own buffer.
//
// ByteCount() answers the size the file had when it was opened, not the number of bytes read so
// far as protobuf's streams usually do; the parser keeps its own count and does not rely on it.
class SVGFileStream : public google::protobuf::io::ZeroCopyInputStream {
 public:
  static constexpr int kBufferSize = 1024;

  SVGFileStream() = default;
  ~SVGFileStream() override;
  SVGFileStream(const SVGFileStream&) = delete;
  SVGFileStream& operator=(const SVGFileStream&) = delete;

  // Notes the file's size and opens it read-only; false when it cannot be stat'ed or opened or
  // is not a plain file (a named pipe would block the open).
  bool open(const std::string& path);
  bool isOpen() const { return _fd >= 0; }
  void close();

  bool Next(const void** data, int* size) override;
  void BackUp(int count) override;
  bool Skip(int count) override;
  int64_t ByteCount() const override;

 private:
  int _fd = -1;
  int64_t _fileSize = 0;
  char _buffer[kBufferSize];
};
