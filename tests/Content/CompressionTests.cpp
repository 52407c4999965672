#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "Content/Compression.h"
#include "Deflate.h"

using platform::Bytes;

namespace {

using testing_support::deflated;

Bytes text(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>("{}\"abcdefgh_.,0123:[]"[random() % 20]);
  return bytes;
}

}  // namespace

TEST(CompressionTest, InflatesGzipAndZlibData) {
  Bytes answer = text(300000, 1);
  EXPECT_EQ(Compression::gzipInflate(deflated(answer)), answer);
  EXPECT_EQ(Compression::gzipInflate(deflated(answer, 15)), answer);
  // Highly compressed: far larger than the first guess at the output size.
  Bytes zeros(5 << 20, 0);
  zeros[12345] = 7;
  EXPECT_EQ(Compression::gzipInflate(deflated(zeros)), zeros);
  // Tiny inputs, where the output is larger than one and a half times the input.
  Bytes one{'x'};
  EXPECT_EQ(Compression::gzipInflate(deflated(one)), one);
  EXPECT_EQ(Compression::gzipInflate(deflated(Bytes{})), Bytes{});
  EXPECT_EQ(Compression::gzipInflate(Bytes{}), Bytes{});  // nothing at all comes back as nothing
}

TEST(CompressionTest, CorruptTruncatedAndPlainDataFail) {
  Bytes packed = deflated(text(10000, 2));
  EXPECT_FALSE(Compression::gzipInflate(Bytes(packed.begin(), packed.begin() + packed.size() / 2)));
  Bytes damaged = packed;
  damaged[packed.size() / 2] ^= 0xFF;
  damaged[packed.size() / 2 + 1] ^= 0x55;
  EXPECT_FALSE(Compression::gzipInflate(damaged));
  Bytes plain{'[', '"', 'h', 't', 't', 'p', '"', ']'};  // an uncompressed JSON answer
  EXPECT_FALSE(Compression::gzipInflate(plain));
}

TEST(CompressionTest, AnswersThatInflateBeyondTheCapAreRefused) {
  // About 100 MiB of zeros packs into about 100 KiB: a decompression bomb.
  Bytes bomb = deflated(Bytes(Compression::kMaxInflatedSize + (36u << 20), 0));
  EXPECT_LT(bomb.size(), 200000u);
  EXPECT_FALSE(Compression::gzipInflate(bomb));
  // Exactly at the cap is still accepted.
  Bytes full(Compression::kMaxInflatedSize, 'a');
  auto inflated = Compression::gzipInflate(deflated(full));
  ASSERT_TRUE(inflated);
  EXPECT_EQ(inflated->size(), Compression::kMaxInflatedSize);
}
