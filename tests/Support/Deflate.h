#pragma once

#include <zlib.h>

#include "Foundation/Value.h"

namespace testing_support {

// zlib's own deflate: a gzip header with windowBits 31, a zlib header with 15.
inline platform::Bytes deflated(const platform::Bytes& input, int windowBits = 31,
                                int level = Z_BEST_COMPRESSION) {
  z_stream stream{};
  deflateInit2(&stream, level, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY);
  platform::Bytes output(deflateBound(&stream, input.size()));
  stream.next_in = const_cast<Bytef*>(input.data());
  stream.avail_in = static_cast<uInt>(input.size());
  stream.next_out = output.data();
  stream.avail_out = static_cast<uInt>(output.size());
  deflate(&stream, Z_FINISH);
  output.resize(stream.total_out);
  deflateEnd(&stream);
  return output;
}

}  // namespace testing_support
