#include "Content/Compression.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace Compression {

std::optional<platform::Bytes> gzipInflate(const platform::Bytes& data) {
  if (data.empty()) return data;
  if (data.size() > std::numeric_limits<uInt>::max()) return std::nullopt;
  z_stream stream{};
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  // 15-bit window, +32: detect a zlib or a gzip header.
  if (inflateInit2(&stream, 15 + 32) != Z_OK) return std::nullopt;

  // Start at one and a half times the input and double when full: the same bytes as growing by
  // half the input each time, without the quadratic copying for highly compressed answers.
  platform::Bytes output(std::min(kMaxInflatedSize, data.size() + data.size() / 2));
  bool done = false, failed = false;
  while (!done && !failed) {
    if (stream.total_out == output.size()) {
      if (output.size() >= kMaxInflatedSize) {
        failed = true;
        break;
      }
      output.resize(std::min(kMaxInflatedSize, output.size() * 2));
    }
    stream.next_out = output.data() + stream.total_out;
    stream.avail_out = static_cast<uInt>(
        std::min<size_t>(output.size() - stream.total_out, std::numeric_limits<uInt>::max()));
    int status = inflate(&stream, Z_SYNC_FLUSH);
    if (status == Z_STREAM_END) {
      done = true;
    } else if (status != Z_OK) {
      failed = true;
    }
  }
  size_t written = stream.total_out;
  if (inflateEnd(&stream) != Z_OK || failed) return std::nullopt;
  output.resize(written);
  return output;
}

}  // namespace Compression
