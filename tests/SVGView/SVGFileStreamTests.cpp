#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "SVGView/SVGFileStream.h"
#include "TestSupport.h"
#include "WireBytes.h"

using svg_test::writeFile;
using testing_support::TemporaryDirectory;

namespace {

std::string patternOfSize(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  return bytes;
}

size_t openDescriptorCount() {
  size_t count = 0;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd");
       it != std::filesystem::directory_iterator(); ++it) {
    ++count;
  }
  return count;
}

std::string nextChunk(SVGFileStream& stream) {
  const void* data = nullptr;
  int size = 0;
  if (!stream.Next(&data, &size)) return "<end>";
  return std::string(static_cast<const char*>(data), size);
}

}  // namespace

TEST(SVGFileStreamTest, AMissingPathDoesNotOpen) {
  TemporaryDirectory directory;
  SVGFileStream stream;
  EXPECT_FALSE(stream.open(directory.file("absent.svgpb")));
  EXPECT_FALSE(stream.isOpen());
  const void* data = nullptr;
  int size = 0;
  EXPECT_FALSE(stream.Next(&data, &size));
}

TEST(SVGFileStreamTest, A1025ByteFileIsReadInChunksOf1024And1) {
  TemporaryDirectory directory;
  std::string path = directory.file("chunks.svgpb");
  std::string contents = patternOfSize(1025);
  ASSERT_TRUE(writeFile(path, contents));

  SVGFileStream stream;
  ASSERT_TRUE(stream.open(path));
  EXPECT_EQ(stream.ByteCount(), 1025);
  EXPECT_EQ(nextChunk(stream), contents.substr(0, 1024));
  EXPECT_EQ(nextChunk(stream), contents.substr(1024, 1));
  EXPECT_EQ(nextChunk(stream), "<end>");
  EXPECT_EQ(stream.ByteCount(), 1025);
}

TEST(SVGFileStreamTest, AnEmptyFileOpensAndEndsAtOnce) {
  TemporaryDirectory directory;
  std::string path = directory.file("empty.svgpb");
  ASSERT_TRUE(writeFile(path, ""));
  SVGFileStream stream;
  ASSERT_TRUE(stream.open(path));
  EXPECT_EQ(stream.ByteCount(), 0);
  EXPECT_EQ(nextChunk(stream), "<end>");
}

TEST(SVGFileStreamTest, BackUpHandsTheSameBytesOutAgain) {
  TemporaryDirectory directory;
  std::string path = directory.file("backup.svgpb");
  std::string contents = patternOfSize(1500);
  ASSERT_TRUE(writeFile(path, contents));

  SVGFileStream stream;
  ASSERT_TRUE(stream.open(path));
  EXPECT_EQ(nextChunk(stream), contents.substr(0, 1024));
  stream.BackUp(24);
  EXPECT_EQ(nextChunk(stream), contents.substr(1000, 500));
  stream.BackUp(500);
  EXPECT_EQ(nextChunk(stream), contents.substr(1000, 500));
  EXPECT_EQ(nextChunk(stream), "<end>");
}

TEST(SVGFileStreamTest, SkipMovesForwardAndSucceedsPastTheStart) {
  TemporaryDirectory directory;
  std::string path = directory.file("skip.svgpb");
  std::string contents = patternOfSize(100);
  ASSERT_TRUE(writeFile(path, contents));

  SVGFileStream stream;
  ASSERT_TRUE(stream.open(path));
  // Skipping nothing at the very start leaves the position at zero, which counts as failure.
  EXPECT_FALSE(stream.Skip(0));
  EXPECT_TRUE(stream.Skip(10));
  EXPECT_EQ(nextChunk(stream), contents.substr(10));
  stream.BackUp(40);
  EXPECT_TRUE(stream.Skip(30));
  EXPECT_EQ(nextChunk(stream), contents.substr(90));
  // A seek past the end is allowed; reading there finds nothing.
  EXPECT_TRUE(stream.Skip(1000));
  EXPECT_EQ(nextChunk(stream), "<end>");
}

TEST(SVGFileStreamTest, ByteCountIsTheSizeNotedAtOpen) {
  TemporaryDirectory directory;
  std::string path = directory.file("grows.svgpb");
  ASSERT_TRUE(writeFile(path, patternOfSize(10)));
  SVGFileStream stream;
  ASSERT_TRUE(stream.open(path));
  EXPECT_EQ(stream.ByteCount(), 10);

  // The file grows under the open stream: reading sees the new bytes, the count does not.
  ASSERT_TRUE(writeFile(path, patternOfSize(5000)));
  EXPECT_EQ(nextChunk(stream), patternOfSize(5000).substr(0, 1024));
  EXPECT_EQ(stream.ByteCount(), 10);

  // Reopening notes the new size and reads from the start.
  ASSERT_TRUE(stream.open(path));
  EXPECT_EQ(stream.ByteCount(), 5000);
  EXPECT_EQ(nextChunk(stream), patternOfSize(5000).substr(0, 1024));
}

TEST(SVGFileStreamTest, CloseEndsReading) {
  TemporaryDirectory directory;
  std::string path = directory.file("close.svgpb");
  ASSERT_TRUE(writeFile(path, patternOfSize(10)));
  SVGFileStream stream;
  ASSERT_TRUE(stream.open(path));
  EXPECT_TRUE(stream.isOpen());
  stream.close();
  EXPECT_FALSE(stream.isOpen());
  EXPECT_EQ(nextChunk(stream), "<end>");
  EXPECT_FALSE(stream.Skip(5));
}

TEST(SVGFileStreamTest, DestructionClosesTheDescriptor) {
  TemporaryDirectory directory;
  std::string path = directory.file("owned.svgpb");
  ASSERT_TRUE(writeFile(path, patternOfSize(10)));
  size_t before = openDescriptorCount();
  {
    SVGFileStream stream;
    ASSERT_TRUE(stream.open(path));
    EXPECT_EQ(openDescriptorCount(), before + 1);
    // Opening again replaces the descriptor rather than leaking the first.
    ASSERT_TRUE(stream.open(path));
    EXPECT_EQ(openDescriptorCount(), before + 1);
  }
  EXPECT_EQ(openDescriptorCount(), before);
}
