#include <gtest/gtest.h>

#include <string>

#include "SVGView/ProtoSVGFile.h"
#include "TestSupport.h"
#include "WireBytes.h"
#include "svg.pb.h"

using svg_test::bytesFromHex;
using svg_test::lengthDelimited;
using svg_test::writeFile;
using testing_support::TemporaryDirectory;

namespace {

// A root with one red 80x80 square at (10, 10) in a 100x100 picture.
const char* const kRedSquareHex =
    "0a 23 0a 21 12 1f 0a 07 1a 05 0a 03 08 ff 01 4a 14 0d 00 00 20 41 15 00 00 20 41 1d 00 00 a0 "
    "42 25 00 00 a0 42 12 0a 1d 00 00 c8 42 25 00 00 c8 42 1a 0a 1d 00 00 c8 42 25 00 00 c8 42";

class ProtoSVGFileTest : public testing::Test {
 protected:
  // Writes `bytes` to a file and loads it into `root`.
  bool load(const std::string& bytes) {
    std::string path = _directory.file("picture.svgpb");
    EXPECT_TRUE(writeFile(path, bytes));
    return ProtoSVGFile::load(path, root);
  }
  bool loadHex(const std::string& hex) { return load(bytesFromHex(hex)); }

  // A root whose only element is `elementBytes`, wrapped as params.children[0].
  static std::string rootWithElement(const std::string& elementBytes) {
    return lengthDelimited(1, lengthDelimited(1, elementBytes));
  }

  TemporaryDirectory _directory;
  ProtoSVGRoot root;
};

}  // namespace

TEST_F(ProtoSVGFileTest, TheRedSquareFileDecodesIntoItsTree) {
  std::string bytes = bytesFromHex(kRedSquareHex);
  ASSERT_EQ(bytes.size(), 61u);
  ASSERT_TRUE(load(bytes));

  ASSERT_TRUE(root.has_params());
  const ProtoSVGGeneralParams& params = root.params();
  EXPECT_FALSE(params.has_id());
  EXPECT_FALSE(params.has_transform());
  EXPECT_FALSE(params.has_opacity());
  ASSERT_EQ(params.children_size(), 1);

  const ProtoSVGElement& element = params.children(0);
  EXPECT_FALSE(element.has_group());
  EXPECT_FALSE(element.has_gradient());
  EXPECT_FALSE(element.has_defs());
  ASSERT_TRUE(element.has_path());

  const ProtoSVGElementPath& path = element.path();
  EXPECT_EQ(path.points_size(), 0);
  EXPECT_FALSE(path.has_r());
  EXPECT_FALSE(path.has_rx());
  EXPECT_FALSE(path.has_ry());
  ASSERT_TRUE(path.has_params());
  ASSERT_TRUE(path.params().has_fill());
  EXPECT_FALSE(path.params().has_stroke());
  const ProtoSVGPaint& fill = path.params().fill();
  EXPECT_FALSE(fill.has_gradient_id());
  EXPECT_FALSE(fill.has_none());
  EXPECT_FALSE(fill.has_even_odd());
  ASSERT_TRUE(fill.has_color());
  EXPECT_TRUE(fill.color().has_red());
  EXPECT_EQ(fill.color().red(), 255);
  EXPECT_FALSE(fill.color().has_green());
  EXPECT_FALSE(fill.color().has_blue());

  ASSERT_TRUE(path.has_rect());
  EXPECT_EQ(path.rect().x(), 10.0f);
  EXPECT_EQ(path.rect().y(), 10.0f);
  EXPECT_EQ(path.rect().width(), 80.0f);
  EXPECT_EQ(path.rect().height(), 80.0f);

  for (const ProtoRect* rect : {&root.viewport(), &root.view_box()}) {
    EXPECT_FALSE(rect->has_x());
    EXPECT_FALSE(rect->has_y());
    EXPECT_TRUE(rect->has_width());
    EXPECT_TRUE(rect->has_height());
    EXPECT_EQ(rect->width(), 100.0f);
    EXPECT_EQ(rect->height(), 100.0f);
  }
  EXPECT_TRUE(root.has_viewport());
  EXPECT_TRUE(root.has_view_box());
}

TEST_F(ProtoSVGFileTest, TheSchemaWritesTheRedSquareByteForByte) {
  ProtoSVGRoot square;
  ProtoSVGElementPath* path = square.mutable_params()->add_children()->mutable_path();
  path->mutable_params()->mutable_fill()->mutable_color()->set_red(255);
  ProtoRect* rect = path->mutable_rect();
  rect->set_x(10);
  rect->set_y(10);
  rect->set_width(80);
  rect->set_height(80);
  for (ProtoRect* frame : {square.mutable_viewport(), square.mutable_view_box()}) {
    frame->set_width(100);
    frame->set_height(100);
  }
  std::string bytes;
  ASSERT_TRUE(square.SerializeToString(&bytes));
  EXPECT_EQ(bytes, bytesFromHex(kRedSquareHex));
}

TEST_F(ProtoSVGFileTest, AnEmptyFileIsAnEmptyRoot) {
  root.mutable_viewport()->set_width(5);  // left from an earlier load
  ASSERT_TRUE(load(""));
  EXPECT_FALSE(root.has_params());
  EXPECT_FALSE(root.has_viewport());
  EXPECT_FALSE(root.has_view_box());
  EXPECT_EQ(root.params().children_size(), 0);
  EXPECT_EQ(root.viewport().width(), 0.0f);
  EXPECT_EQ(root.view_box().height(), 0.0f);
}

TEST_F(ProtoSVGFileTest, RootParamsWithoutChildren) {
  ASSERT_TRUE(loadHex("0a 00"));
  EXPECT_TRUE(root.has_params());
  EXPECT_EQ(root.params().children_size(), 0);
}

TEST_F(ProtoSVGFileTest, AMissingFileFailsAndLeavesTheTreeEmpty) {
  ASSERT_TRUE(loadHex(kRedSquareHex));
  ASSERT_TRUE(root.has_params());
  EXPECT_FALSE(ProtoSVGFile::load(_directory.file("absent.svgpb"), root));
  EXPECT_FALSE(root.has_params());
  EXPECT_FALSE(root.has_viewport());
  EXPECT_EQ(root.ByteSizeLong(), 0u);
}

TEST_F(ProtoSVGFileTest, AGradientSkipsAnUndeclaredField2Record) {
  // gradient: params{id "g"}, field 2 "abc" (not declared), one stop at 0.5, radius 10
  std::string gradient = bytesFromHex("0a 03 12 01 67") + lengthDelimited(2, "abc") +
                         lengthDelimited(3, bytesFromHex("0d 00 00 00 3f")) +
                         bytesFromHex("45 00 00 20 41");
  ASSERT_TRUE(load(rootWithElement(lengthDelimited(3, gradient))));

  ASSERT_EQ(root.params().children_size(), 1);
  ASSERT_TRUE(root.params().children(0).has_gradient());
  const ProtoSVGElementGradient& read = root.params().children(0).gradient();
  EXPECT_EQ(read.params().id(), "g");
  ASSERT_EQ(read.stops_size(), 1);
  EXPECT_EQ(read.stops(0).offset(), 0.5f);
  EXPECT_TRUE(read.has_radius());
  EXPECT_EQ(read.radius(), 10.0f);
  EXPECT_FALSE(read.has_start());
  EXPECT_FALSE(read.has_center());
}

TEST_F(ProtoSVGFileTest, APathSkipsAnUndeclaredField2RecordOfAnyWireType) {
  // path: field 2 as a varint, field 2 as a fixed32, then r = 1
  std::string path = bytesFromHex("10 07 15 01 02 03 04 45 00 00 80 3f");
  ASSERT_TRUE(load(rootWithElement(lengthDelimited(2, path))));
  const ProtoSVGElementPath& read = root.params().children(0).path();
  EXPECT_TRUE(read.has_r());
  EXPECT_EQ(read.r(), 1.0f);
}

TEST_F(ProtoSVGFileTest, ADeclaredNumberWithAnotherWireTypeIsSkipped) {
  // viewport: x (a float) written as a varint, then width 100
  ASSERT_TRUE(loadHex("12 07 08 05 1d 00 00 c8 42"));
  EXPECT_FALSE(root.viewport().has_x());
  EXPECT_EQ(root.viewport().x(), 0.0f);
  EXPECT_EQ(root.viewport().width(), 100.0f);
}

TEST_F(ProtoSVGFileTest, GradientStopOpacityKeepsPresence) {
  ProtoSVGRoot written;
  ProtoSVGElementGradient* gradient = written.mutable_params()->add_children()->mutable_gradient();
  gradient->add_stops()->set_offset(0.25f);
  ProtoSVGElementGradient::GradientStop* transparent = gradient->add_stops();
  transparent->set_offset(1);
  transparent->set_opacity(0);
  std::string bytes;
  ASSERT_TRUE(written.SerializeToString(&bytes));
  // The present 0.0 travels as its own record: fixed32 field 3 of the second stop.
  EXPECT_NE(bytes.find(bytesFromHex("1d 00 00 00 00")), std::string::npos);

  ASSERT_TRUE(load(bytes));
  const ProtoSVGElementGradient& read = root.params().children(0).gradient();
  ASSERT_EQ(read.stops_size(), 2);
  EXPECT_FALSE(read.stops(0).has_opacity());
  EXPECT_EQ(read.stops(0).opacity(), 0.0f);
  EXPECT_FALSE(read.stops(0).has_color());
  EXPECT_EQ(read.stops(0).color().red(), 0);
  EXPECT_TRUE(read.stops(1).has_opacity());
  EXPECT_EQ(read.stops(1).opacity(), 0.0f);
}

TEST_F(ProtoSVGFileTest, GeneralParamsOpacityDefaultsToOne) {
  // root params with an id only, then a group whose params carry opacity 0.5
  std::string group = lengthDelimited(1, bytesFromHex("35 00 00 00 3f"));
  ASSERT_TRUE(load(lengthDelimited(1, bytesFromHex("12 01 61") + lengthDelimited(1, group))));
  EXPECT_FALSE(root.params().has_opacity());
  EXPECT_EQ(root.params().opacity(), 1.0f);
  const ProtoSVGGeneralParams& groupParams = root.params().children(0).group();
  EXPECT_TRUE(groupParams.has_opacity());
  EXPECT_EQ(groupParams.opacity(), 0.5f);
  // An absent sub-message reads as the default instance, opacity included.
  EXPECT_FALSE(root.params().children(0).has_path());
  EXPECT_EQ(root.params().children(0).path().params().opacity(), 1.0f);
}

TEST_F(ProtoSVGFileTest, ColourChannelsOutsideTheByteRangeAreCarriedUnchanged) {
  // fill color: red 300, green -5 (sign-extended to ten bytes), blue 0
  std::string color = bytesFromHex("08 ac 02 10 fb ff ff ff ff ff ff ff ff 01 18 00");
  std::string params = lengthDelimited(3, lengthDelimited(1, color));
  ASSERT_TRUE(load(rootWithElement(lengthDelimited(2, lengthDelimited(1, params)))));
  const ProtoColor& read = root.params().children(0).path().params().fill().color();
  EXPECT_EQ(read.red(), 300);
  EXPECT_EQ(read.green(), -5);
  EXPECT_TRUE(read.has_blue());
  EXPECT_EQ(read.blue(), 0);

  ProtoColor written;
  written.set_red(300);
  written.set_green(-5);
  written.set_blue(0);
  EXPECT_EQ(written.SerializeAsString(), color);
}

TEST_F(ProtoSVGFileTest, ATruncatedFileFailsButKeepsWhatWasMerged) {
  // The red square cut inside its viewport record.
  std::string bytes = bytesFromHex(kRedSquareHex).substr(0, 44);
  EXPECT_FALSE(load(bytes));
  ASSERT_EQ(root.params().children_size(), 1);
  EXPECT_EQ(root.params().children(0).path().rect().width(), 80.0f);
  EXPECT_EQ(root.params().children(0).path().params().fill().color().red(), 255);
  EXPECT_FALSE(root.has_view_box());
}

TEST_F(ProtoSVGFileTest, ATruncatedVarintFails) {
  EXPECT_FALSE(loadHex("12 05 08 ff ff ff"));
  EXPECT_FALSE(loadHex("12"));
}

TEST_F(ProtoSVGFileTest, AnEndGroupRecordEndsTheMessageAndTheParseFails) {
  // viewport width 100, an end-group record for field 1, then a view box
  EXPECT_FALSE(loadHex("12 05 1d 00 00 c8 42 0c 1a 05 1d 00 00 c8 42"));
  EXPECT_EQ(root.viewport().width(), 100.0f);
  EXPECT_FALSE(root.has_view_box());
}

TEST_F(ProtoSVGFileTest, AnEndGroupRecordInsideASubMessageFails) {
  // viewport: width 100, end-group, height 100; then a view box
  EXPECT_FALSE(loadHex("12 0b 1d 00 00 c8 42 0c 25 00 00 c8 42 1a 05 1d 00 00 c8 42"));
  EXPECT_FALSE(root.has_view_box());
}

TEST_F(ProtoSVGFileTest, AZeroTagFails) {
  EXPECT_FALSE(loadHex("12 00 00 1a 00"));
}

TEST_F(ProtoSVGFileTest, ARepeatedSingularSubMessageMergesAndARepeatedScalarOverwrites) {
  // viewport {x 1, width 100}, viewport {width 20, height 50}
  ASSERT_TRUE(
      loadHex("12 0a 0d 00 00 80 3f 1d 00 00 c8 42"
              "12 0a 1d 00 00 a0 41 25 00 00 48 42"));
  EXPECT_EQ(root.viewport().x(), 1.0f);
  EXPECT_EQ(root.viewport().width(), 20.0f);
  EXPECT_EQ(root.viewport().height(), 50.0f);
  EXPECT_FALSE(root.viewport().has_y());
}

TEST_F(ProtoSVGFileTest, RepeatedFieldsAreOneRecordPerElementInFileOrder) {
  ProtoSVGRoot written;
  ProtoSVGElementPath* path = written.mutable_params()->add_children()->mutable_path();
  for (int i = 0; i < 3; ++i) {
    ProtoSVGElementPath::PathPoint* point = path->add_points();
    point->mutable_move_to()->set_x(static_cast<float>(i));
    point->mutable_curve_to()->set_y2(static_cast<float>(i + 10));
    point->set_close(i == 1);
  }
  written.mutable_params()->add_children()->mutable_defs()->set_id("defs");
  ASSERT_TRUE(load(written.SerializeAsString()));
  const ProtoSVGElementPath& read = root.params().children(0).path();
  ASSERT_EQ(read.points_size(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(read.points(i).move_to().x(), static_cast<float>(i));
    EXPECT_FALSE(read.points(i).has_line_to());
    EXPECT_EQ(read.points(i).curve_to().y2(), static_cast<float>(i + 10));
    EXPECT_TRUE(read.points(i).has_close());
    EXPECT_EQ(read.points(i).close(), i == 1);
  }
  ASSERT_EQ(root.params().children_size(), 2);
  EXPECT_EQ(root.params().children(1).defs().id(), "defs");
}

TEST_F(ProtoSVGFileTest, AFileLongerThanOneChunkParses) {
  ProtoSVGRoot written;
  written.mutable_params()->set_id(std::string(1500, 'i'));
  for (int i = 0; i < 200; ++i) {
    ProtoSVGElementPath* path = written.mutable_params()->add_children()->mutable_path();
    path->set_r(static_cast<float>(i));
    path->mutable_params()->mutable_stroke()->set_gradient_id("gradient" + std::to_string(i));
  }
  std::string bytes = written.SerializeAsString();
  ASSERT_GT(bytes.size(), 4096u);
  ASSERT_TRUE(load(bytes));
  EXPECT_EQ(root.SerializeAsString(), bytes);
  EXPECT_EQ(root.params().children(199).path().params().stroke().gradient_id(), "gradient199");
}
