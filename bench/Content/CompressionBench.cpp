// gzipInflate against zlib's own one-shot inflation of the same data (an output buffer of the
// known size, one inflate call): a ~100 KiB body inflating to 10 MiB and a ~1 MiB body
// inflating to 4 MiB.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <random>

#include "Content/Compression.h"
#include "Deflate.h"

using platform::Bytes;

namespace {

// Catalogue-like text whose compression ratio is set by how often a random byte appears.
Bytes sample(size_t size, unsigned everyNth) {
  std::mt19937 random(5);
  const std::string line = "\"clipart_1234_small.png\",\"frame_77_iph5.svgpb\",";
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i)
    bytes[i] =
        random() % everyNth == 0 ? static_cast<std::uint8_t>(random()) : line[i % line.size()];
  return bytes;
}

Bytes gzip(const Bytes& input) {
  return testing_support::deflated(input, 31, Z_DEFAULT_COMPRESSION);
}

Bytes zlibOneShot(const Bytes& packed, size_t size) {
  Bytes output(size);
  z_stream stream{};
  inflateInit2(&stream, 47);
  stream.next_in = const_cast<Bytef*>(packed.data());
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = output.data();
  stream.avail_out = static_cast<uInt>(output.size());
  inflate(&stream, Z_FINISH);
  inflateEnd(&stream);
  return output;
}

struct Case {
  Bytes original, packed;
};

const Case& caseFor(int which) {
  static const Case big = [] {
    Bytes original = sample(10 << 20, 700);
    return Case{original, gzip(original)};
  }();
  static const Case medium = [] {
    Bytes original = sample(4 << 20, 11);
    return Case{original, gzip(original)};
  }();
  return which == 0 ? big : medium;
}

void report(benchmark::State& state, const Case& c) {
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(c.original.size()));
  state.counters["packed_KiB"] = c.packed.size() / 1024.0;
  state.counters["inflated_MiB"] = c.original.size() / 1048576.0;
}

void BM_GzipInflate(benchmark::State& state) {
  const Case& c = caseFor(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(Compression::gzipInflate(c.packed));
  report(state, c);
}

void BM_ZlibOneShot(benchmark::State& state) {
  const Case& c = caseFor(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(zlibOneShot(c.packed, c.original.size()));
  report(state, c);
}

}  // namespace

BENCHMARK(BM_GzipInflate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibOneShot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
