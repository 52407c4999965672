#include "Graphics/BitmapReduction.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {
namespace {

// The source cells an output cell covers along one axis, with the share of each.
struct Span {
  int first = 0;
  std::vector<float> weights;
};

std::vector<Span> spans(int from, int to) {
  std::vector<Span> out(static_cast<size_t>(to));
  const double step = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    double begin = i * step, end = (i + 1) * step;
    Span& span = out[static_cast<size_t>(i)];
    span.first = static_cast<int>(begin);
    int last = std::min(from - 1, static_cast<int>(std::ceil(end)) - 1);
    for (int s = span.first; s <= last; ++s) {
      double covered = std::min<double>(end, s + 1) - std::max<double>(begin, s);
      span.weights.push_back(static_cast<float>(covered / step));
    }
  }
  return out;
}

}  // namespace

std::shared_ptr<Bitmap> BitmapReduction::reduce(const Bitmap& source, int width, int height) {
  if (width < 1 || height < 1 || width > source.width() || height > source.height()) return nullptr;
  auto result = Bitmap::create(width, height, source.format());
  if (!result) return nullptr;
  const int channels = static_cast<int>(source.bytesPerPixel());
  const std::vector<Span> columns = spans(source.width(), width);
  const std::vector<Span> rows = spans(source.height(), height);
  const size_t rowLength = static_cast<size_t>(width) * channels;

  // Each source row is reduced across once, when the first output row that needs it comes.
  std::vector<float> narrowed(rowLength * 2), sum(rowLength);
  int cachedRow[2] = {-1, -1};
  auto narrowedRow = [&](int y) -> const float* {
    int slot = y & 1;
    float* out = narrowed.data() + slot * rowLength;
    if (cachedRow[slot] == y) return out;
    cachedRow[slot] = y;
    const std::uint8_t* in = source.row(y);
    for (int x = 0; x < width; ++x) {
      const Span& span = columns[static_cast<size_t>(x)];
      float acc[4] = {0, 0, 0, 0};
      const std::uint8_t* p = in + static_cast<size_t>(span.first) * channels;
      for (float w : span.weights) {
        for (int c = 0; c < channels; ++c) acc[c] += w * p[c];
        p += channels;
      }
      for (int c = 0; c < channels; ++c) out[x * channels + c] = acc[c];
    }
    return out;
  };
  for (int y = 0; y < height; ++y) {
    const Span& span = rows[static_cast<size_t>(y)];
    std::fill(sum.begin(), sum.end(), 0.0f);
    int sourceRow = span.first;
    for (float w : span.weights) {
      const float* line = narrowedRow(sourceRow++);
      for (size_t i = 0; i < rowLength; ++i) sum[i] += w * line[i];
    }
    std::uint8_t* out = result->row(y);
    for (size_t i = 0; i < rowLength; ++i)
      out[i] = static_cast<std::uint8_t>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
  }
  return result;
}

}  // namespace platform
