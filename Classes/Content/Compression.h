#pragma once

#include <cstddef>
#include <optional>

#include "Foundation/Value.h"

// Decompression of content-server answers, as the byte-buffer extension offers it.
namespace Compression {

// No real catalogue answer comes near this; an answer that inflates past it is refused.
inline constexpr size_t kMaxInflatedSize = size_t{64} << 20;

// Inflates zlib or gzip data (the header is detected). An empty buffer comes back unchanged;
// corrupt or truncated data, and output beyond kMaxInflatedSize, give nothing.
std::optional<platform::Bytes> gzipInflate(const platform::Bytes& data);

}  // namespace Compression
