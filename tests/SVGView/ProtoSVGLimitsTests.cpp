#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SVGView/ProtoSVGFile.h"
#include "TestSupport.h"
#include "WireBytes.h"
#include "svg.pb.h"

using svg_test::varint;
using svg_test::writeFile;
using testing_support::ConsoleCapture;
using testing_support::TemporaryDirectory;

namespace {

// `depth` sub-messages nested in the root through field 1 at every level: root params, element,
// group params, element, ... The innermost one is empty.
std::string nestedMessages(int depth) {
  // Nested messages have nothing after their child, so the file is every level's tag and length,
  // outermost first. Lengths are found from the inside out.
  std::vector<std::string> prefixes;
  size_t recordSize = 0;
  for (int level = 0; level < depth; ++level) {
    std::string prefix = "\x0a" + varint(recordSize);
    recordSize += prefix.size();
    prefixes.push_back(prefix);
  }
  std::string bytes;
  for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it) bytes += *it;
  return bytes;
}

// A file of exactly `size` bytes: one record of the undeclared field 15 whose payload is zeros.
bool writeFileOfSize(const std::string& path, size_t size) {
  std::string header = "\x7a";
  header += varint(size - header.size() - 4);
  if (header.size() != 5 || !writeFile(path, header)) return false;
  std::error_code error;
  std::filesystem::resize_file(path, size, error);
  return !error;
}

// Levels of root.params.children[0].group.children[0]... that are present.
int presentDepth(const ProtoSVGRoot& root) {
  if (!root.has_params()) return 0;
  int depth = 1;
  const ProtoSVGGeneralParams* params = &root.params();
  while (params->children_size() > 0) {
    ++depth;
    const ProtoSVGElement& element = params->children(0);
    if (!element.has_group()) break;
    ++depth;
    params = &element.group();
  }
  return depth;
}

class ProtoSVGLimitsTest : public testing::Test {
 protected:
  bool load(const std::string& bytes) {
    EXPECT_TRUE(writeFile(path(), bytes));
    return ProtoSVGFile::load(path(), root);
  }
  std::string path() const { return _directory.file("picture.svgpb"); }

  TemporaryDirectory _directory;
  ProtoSVGRoot root;
};

}  // namespace

TEST_F(ProtoSVGLimitsTest, MessagesNestSixtyFourDeepAndNoDeeper) {
  ASSERT_TRUE(load(nestedMessages(64)));
  EXPECT_EQ(presentDepth(root), 64);
  EXPECT_FALSE(load(nestedMessages(65)));
  // The levels read before the limit stay.
  EXPECT_GE(presentDepth(root), 64);
}

TEST_F(ProtoSVGLimitsTest, VeryDeepNestingFailsSafely) {
  EXPECT_FALSE(load(nestedMessages(200000)));
  EXPECT_LE(presentDepth(root), 65);
}

TEST_F(ProtoSVGLimitsTest, AnUndeclaredGroupIsSkippedWhole) {
  // Two start-group records of field 15 around a varint, their end-groups, then a viewport.
  ASSERT_TRUE(load("\x7b\x7b\x08\x01\x7c\x7c" + svg_test::bytesFromHex("12 05 1d 00 00 c8 42")));
  EXPECT_EQ(root.viewport().width(), 100.0f);
}

TEST_F(ProtoSVGLimitsTest, DeeplyNestedGroupsFailSafely) {
  EXPECT_FALSE(load(std::string(200000, '\x7b')));
  std::string balanced = std::string(100000, '\x7b') + std::string(100000, '\x7c');
  EXPECT_FALSE(load(balanced));
}

TEST_F(ProtoSVGLimitsTest, AGroupLeftOpenAtTheEndFails) {
  EXPECT_FALSE(load("\x7b\x08\x01"));
}

TEST_F(ProtoSVGLimitsTest, AHugeLengthFailsWithoutReadingOn) {
  // A viewport that claims four gigabytes.
  EXPECT_FALSE(load(svg_test::bytesFromHex("12 ff ff ff ff 0f 1d 00 00 c8 42")));
  EXPECT_FALSE(root.viewport().has_width());
}

TEST_F(ProtoSVGLimitsTest, FilesUpTo64MiBParseAndLongerOnesFail) {
  ASSERT_TRUE(writeFileOfSize(path(), ProtoSVGFile::kTotalBytesLimit));
  EXPECT_TRUE(ProtoSVGFile::load(path(), root));
  ASSERT_TRUE(writeFileOfSize(path(), ProtoSVGFile::kTotalBytesLimit + 1));
  EXPECT_FALSE(ProtoSVGFile::load(path(), root));
}

TEST_F(ProtoSVGLimitsTest, ReadingFrom32MiBLogsAWarning) {
  {
    ConsoleCapture console;
    ASSERT_TRUE(writeFileOfSize(path(), ProtoSVGFile::kTotalBytesWarningThreshold - 1));
    EXPECT_TRUE(ProtoSVGFile::load(path(), root));
    EXPECT_TRUE(console.lines().empty());
  }
  ConsoleCapture console;
  ASSERT_TRUE(writeFileOfSize(path(), ProtoSVGFile::kTotalBytesWarningThreshold));
  EXPECT_TRUE(ProtoSVGFile::load(path(), root));
  EXPECT_EQ(console.lines().size(), 1u);
}
