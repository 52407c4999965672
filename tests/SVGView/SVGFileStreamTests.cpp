#include <gtest/gtest.h>
#include <sys/stat.h>

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
  return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
}

std::string nextChunk(SVGFileStream& stream) {
  const void* data = nullptr;
  int size = 0;
  if (!stream.Next(&data, &size)) return "<end>";
  return std::string(static_cast<const char*>(data), size);
}

}  // namespace

// Reading through the parser (chunks, backing up, skipping) is covered by the file tests.
TEST(SVGFileStreamTest, OpensOnlyPlainFilesCountsTheSizeAtOpenAndLeaksNoDescriptor) {
  TemporaryDirectory directory;
  {
    SVGFileStream stream;
    EXPECT_FALSE(stream.open(directory.file("absent.svgpb")));
    EXPECT_FALSE(stream.open(directory.path()));
    ASSERT_EQ(mkfifo(directory.file("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(stream.open(directory.file("pipe")));  // would wait for a writer
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(nextChunk(stream), "<end>");
  }
  std::string path = directory.file("grows.svgpb");
  ASSERT_TRUE(writeFile(path, patternOfSize(10)));
  size_t before = openDescriptorCount();
  {
    SVGFileStream stream;
    ASSERT_TRUE(stream.open(path));
    ASSERT_TRUE(writeFile(path, patternOfSize(5000)));  // grows under the open stream
    EXPECT_EQ(nextChunk(stream), patternOfSize(5000).substr(0, 1024));
    EXPECT_EQ(stream.ByteCount(), 10);
    ASSERT_TRUE(stream.open(path));  // replaces the descriptor
    EXPECT_EQ(stream.ByteCount(), 5000);
    EXPECT_EQ(openDescriptorCount(), before + 1);
  }
  EXPECT_EQ(openDescriptorCount(), before);
}
