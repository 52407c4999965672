#include "AnswerEncoding.h"

#include <zlib.h>

#include <climits>

#include "Foundation/JSONSerialization.h"

std::optional<AnswerEncoding> AnswerEncoding::encodeJSON(const platform::Value& value,
                                                         size_t gzipThreshold) {
  auto text = platform::JSONSerialization::dataWithJSONObject(value);
  if (!text) return std::nullopt;
  AnswerEncoding answer;
  answer.body.assign(text->begin(), text->end());
  if (answer.body.size() > gzipThreshold) {
    auto compressed = gzipped(answer.body);
    if (!compressed) return std::nullopt;
    answer.body = std::move(*compressed);
    answer.gzip = true;
  }
  return answer;
}

std::optional<platform::Bytes> AnswerEncoding::gzipped(const platform::Bytes& data) {
  if (data.size() > UINT_MAX / 2) return std::nullopt;
  z_stream stream{};
  // Window bits 15 + 16: a gzip header and trailer rather than zlib's.
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    return std::nullopt;
  }
  platform::Bytes output(deflateBound(&stream, static_cast<uLong>(data.size())));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = output.data();
  stream.avail_out = static_cast<uInt>(output.size());
  int status = deflate(&stream, Z_FINISH);
  output.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) return std::nullopt;
  return output;
}
