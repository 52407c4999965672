#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SVGView/ProtoSVGFile.h"
#include "TestSupport.h"
#include "WireBytes.h"
#include "svg.pb.h"

using namespace svg_test;
using testing_support::ConsoleCapture;

namespace {

// Numbered floats, so that two swapped fields cannot read back right.
std::string floats(int firstField, int count, float first) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += floatField(firstField + i, first + i);
  return bytes;
}

// `depth` sub-messages nested in the root through field 1 at every level: root params, element,
// group params, element, ... The innermost one is empty.
std::string nestedMessages(int depth) {
  std::string bytes;
  for (int level = 0; level < depth; ++level) bytes = "\x0a" + varint(bytes.size()) + bytes;
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

class ProtoSVGFileTest : public testing::Test {
 protected:
  bool load(const std::string& bytes) {
    std::string path = _directory.file("picture.svgpb");
    EXPECT_TRUE(writeFile(path, bytes));
    return ProtoSVGFile::load(path, root);
  }

  testing_support::TemporaryDirectory _directory;
  ProtoSVGRoot root;
};

}  // namespace

TEST_F(ProtoSVGFileTest, TheRedSquareReadsAndWritesByteForByteAndLongFilesReadWhole) {
  ASSERT_TRUE(load(bytesFromHex(kRedSquare)));
  ASSERT_EQ(root.params().children_size(), 1);
  const ProtoSVGElementPath& path = root.params().children(0).path();
  EXPECT_EQ(path.params().fill().color().red(), 255);
  EXPECT_EQ(path.rect().x(), 10.0f);
  EXPECT_EQ(path.rect().height(), 80.0f);
  EXPECT_EQ(root.view_box().width(), 100.0f);
  EXPECT_EQ(root.SerializeAsString(), bytesFromHex(kRedSquare));
  // A file longer than the stream's 1024-byte chunks reads whole.
  ProtoSVGRoot written;
  written.mutable_params()->set_id(std::string(1500, 'i'));
  for (int i = 0; i < 200; ++i)
    written.mutable_params()->add_children()->mutable_path()->set_r(static_cast<float>(i));
  std::string bytes = written.SerializeAsString();
  ASSERT_TRUE(load(bytes));
  EXPECT_EQ(root.SerializeAsString(), bytes);
}

// The field numbers are binding for files from other producers: every field is written here by
// hand and must land where it is named.
TEST_F(ProtoSVGFileTest, EveryFieldHasItsNumber) {
  std::string matrix = floats(1, 6, 1);  // a b c d tx ty = 1..6
  std::string colour = varintField(1, 10) + varintField(2, 20) + varintField(3, 30);
  std::string fill = lengthDelimited(1, colour) + varintField(3, 1) + varintField(4, 1);
  std::string stroke = lengthDelimited(2, "g1") + varintField(3, 0);
  std::string pathParams = lengthDelimited(2, "p") + lengthDelimited(3, fill) +
                           lengthDelimited(4, stroke) + lengthDelimited(5, matrix) +
                           floatField(6, 0.5f);
  std::string points = lengthDelimited(1, floats(1, 2, 31)) + lengthDelimited(2, floats(1, 2, 41)) +
                       lengthDelimited(3, floats(1, 6, 51)) + varintField(4, 1);
  std::string path = lengthDelimited(1, pathParams) + lengthDelimited(2, "unassigned") +
                     lengthDelimited(3, points) + floats(4, 5, 61) +
                     lengthDelimited(9, floats(1, 4, 71));
  std::string stop =
      floatField(1, 0.25f) + lengthDelimited(2, varintField(2, 7)) + floatField(3, 0.75f);
  std::string gradient = lengthDelimited(1, lengthDelimited(2, "g1")) + varintField(2, 9) +
                         lengthDelimited(3, stop) + lengthDelimited(4, floats(1, 6, 81)) +
                         lengthDelimited(5, floats(1, 2, 91)) +
                         lengthDelimited(6, floats(1, 2, 93)) +
                         lengthDelimited(7, floats(1, 2, 95)) + floatField(8, 97);
  std::string group = lengthDelimited(2, "state-1") + lengthDelimited(1, lengthDelimited(2, path));
  std::string defs = lengthDelimited(1, lengthDelimited(3, gradient));
  std::string rootParams =
      lengthDelimited(1, lengthDelimited(1, group)) + lengthDelimited(1, lengthDelimited(4, defs));
  ASSERT_TRUE(load(lengthDelimited(1, rootParams) + lengthDelimited(2, floats(1, 4, 101)) +
                   lengthDelimited(3, floats(1, 4, 111))));

  using F = std::vector<float>;
  EXPECT_EQ(F({root.viewport().x(), root.viewport().height(), root.view_box().y()}),
            F({101, 104, 112}));
  ASSERT_EQ(root.params().children_size(), 2);
  const ProtoSVGGeneralParams& g = root.params().children(0).group();
  EXPECT_EQ(g.id(), "state-1");
  const ProtoSVGElementPath& p = g.children(0).path();
  EXPECT_EQ(p.params().id(), "p");
  const ProtoColor& rgb = p.params().fill().color();
  EXPECT_EQ(std::vector<int>({rgb.red(), rgb.green(), rgb.blue()}), std::vector<int>({10, 20, 30}));
  EXPECT_TRUE(p.params().fill().none());
  EXPECT_TRUE(p.params().fill().even_odd());
  EXPECT_EQ(p.params().stroke().gradient_id(), "g1");
  EXPECT_TRUE(p.params().stroke().has_none());
  const ProtoAffineTransformMatrix& m = p.params().transform();
  EXPECT_EQ(F({m.a(), m.b(), m.c(), m.d(), m.tx(), m.ty()}), F({1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(p.params().opacity(), 0.5f);
  ASSERT_EQ(p.points_size(), 1);
  const auto& point = p.points(0);
  EXPECT_EQ(F({point.move_to().x(), point.move_to().y(), point.line_to().y()}), F({31, 32, 42}));
  const ProtoCurve& c = point.curve_to();
  EXPECT_EQ(F({c.x1(), c.y1(), c.x2(), c.y2(), c.x(), c.y()}), F({51, 52, 53, 54, 55, 56}));
  EXPECT_TRUE(point.close());
  EXPECT_EQ(F({p.cx(), p.cy(), p.rx(), p.ry(), p.r()}), F({61, 62, 63, 64, 65}));
  EXPECT_EQ(F({p.rect().x(), p.rect().width(), p.rect().height()}), F({71, 73, 74}));

  const ProtoSVGElementGradient& r = root.params().children(1).defs().children(0).gradient();
  EXPECT_EQ(r.params().id(), "g1");
  ASSERT_EQ(r.stops_size(), 1);
  EXPECT_EQ(r.stops(0).color().green(), 7);
  EXPECT_EQ(F({r.stops(0).offset(), r.stops(0).opacity(), r.transform().a(), r.transform().ty(),
               r.start().x(), r.end().y(), r.center().x(), r.radius()}),
            F({0.25f, 0.75f, 81, 86, 91, 94, 95, 97}));

  // Absent messages stay absent, element opacity reads as 1, and a present 0 is written.
  ASSERT_TRUE(load(lengthDelimited(1, lengthDelimited(1, lengthDelimited(3, "")))));
  EXPECT_FALSE(root.params().children(0).gradient().has_params());
  EXPECT_EQ(root.params().opacity(), 1.0f);
  ProtoSVGElementGradient::GradientStop clear;
  clear.set_opacity(0);
  EXPECT_EQ(clear.SerializeAsString(), floatField(3, 0));
}

TEST_F(ProtoSVGFileTest, DamagedFilesFailKeepingWhatCameBeforeAndNestingStopsAtSixtyFourLevels) {
  root.mutable_viewport()->set_width(5);
  ASSERT_TRUE(load(""));  // an empty file is an empty picture
  EXPECT_FALSE(root.has_viewport());

  // Cut inside the viewport record: the square stays, the view box never came.
  EXPECT_FALSE(load(bytesFromHex(kRedSquare).substr(0, 44)));
  EXPECT_EQ(root.params().children(0).path().rect().width(), 80.0f);
  EXPECT_FALSE(root.has_view_box());
  // A missing file leaves nothing of the earlier picture.
  EXPECT_FALSE(ProtoSVGFile::load(_directory.file("absent.svgpb"), root));
  EXPECT_EQ(root.ByteSizeLong(), 0u);

  for (const char* hex : {
           "12 05 08 ff ff ff",                                            // a cut varint
           "12",                                                           // a tag alone
           "12 05 1d 00 00 c8 42 0c 1a 05 1d 00 00 c8 42",                 // an end-group record
           "12 0b 1d 00 00 c8 42 0c 25 00 00 c8 42 1a 05 1d 00 00 c8 42",  // one inside a message
           "12 00 00 1a 00",                                               // a zero tag
       }) {
    EXPECT_FALSE(load(bytesFromHex(hex))) << hex;
    EXPECT_FALSE(root.has_view_box()) << hex;
  }
  // A declared number with another wire type is skipped, as protobuf does.
  ASSERT_TRUE(load(bytesFromHex("12 07 08 05 1d 00 00 c8 42")));
  EXPECT_EQ(root.viewport().width(), 100.0f);
  // Nesting stops at 64 levels, without harm however deep the file goes.
  EXPECT_TRUE(load(nestedMessages(64)));
  EXPECT_FALSE(load(nestedMessages(65)));
  EXPECT_FALSE(load(nestedMessages(5000)));
  // Undeclared groups are skipped whole; deep, unbalanced or open ones fail.
  ASSERT_TRUE(load("\x7b\x7b\x08\x01\x7c\x7c" + bytesFromHex("12 05 1d 00 00 c8 42")));
  EXPECT_EQ(root.viewport().width(), 100.0f);
  EXPECT_FALSE(load(std::string(200000, '\x7b')));
  EXPECT_FALSE(load(std::string(100000, '\x7b') + std::string(100000, '\x7c')));
  EXPECT_FALSE(load("\x7b\x08\x01"));
  // A viewport that claims four gigabytes.
  EXPECT_FALSE(load(bytesFromHex("12 ff ff ff ff 0f 1d 00 00 c8 42")));
  EXPECT_FALSE(root.viewport().has_width());
}

TEST_F(ProtoSVGFileTest, FilesUpTo64MiBParseWithAWarningFrom32MiB) {
  const size_t warning = ProtoSVGFile::kTotalBytesWarningThreshold,
               limit = ProtoSVGFile::kTotalBytesLimit;
  std::string path = _directory.file("picture.svgpb");
  for (auto [size, loads, warnings] : {std::tuple{warning - 1, true, size_t{0}},
                                       {warning, true, size_t{1}},
                                       {limit, true, size_t{1}},
                                       {limit + 1, false, size_t{0}}}) {
    ConsoleCapture console;
    ASSERT_TRUE(writeFileOfSize(path, size));
    EXPECT_EQ(ProtoSVGFile::load(path, root), loads) << size;
    if (loads) EXPECT_EQ(console.lines().size(), warnings) << size;
  }
}
