#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageDecoder.h"
#include "SVGView/SVGView.h"
#include "TestSupport.h"
#include "WireBytes.h"

using namespace platform;

namespace {

const char* kRedSquare =
    "0a 23 0a 21 12 1f 0a 07 1a 05 0a 03 08 ff 01 4a 14 0d 00 00 20 41 15 00 00 20 41 1d 00 00 a0 "
    "42 25 00 00 a0 42 12 0a 1d 00 00 c8 42 25 00 00 c8 42 1a 0a 1d 00 00 c8 42 25 00 00 c8 42";

int run(const std::string& arguments) {
  std::string command = std::string(SVGPB_RENDER_PATH) + " " + arguments + " 2>/dev/null";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(RasterizerTest, ImagesAtTheScreensScale) {
  testing_support::TemporaryDirectory directory;
  std::string path = directory.file("square.svgpb");
  ASSERT_TRUE(svg_test::writeFile(path, svg_test::bytesFromHex(kRedSquare)));
  DeviceProfile old = DeviceProfile::current();
  DeviceProfile::setCurrent(DeviceProfile::phone35(2));
  auto image = SVGView::imageWithSize({50, 25}, path);
  auto none = SVGView::imageWithSize({0.2, 10}, path);
  DeviceProfile::setCurrent(old);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->scale(), 2);
  EXPECT_EQ(image->pixelWidth(), 100);
  EXPECT_EQ(image->pixelHeight(), 50);
  EXPECT_FALSE(none);
  EXPECT_FALSE(SVGView::imageWithSize({50, 50}, directory.file("missing.svgpb")));
}

TEST(RasterizerTest, TheCommandWritesAnUprightPng) {
  testing_support::TemporaryDirectory directory;
  std::string picture = directory.file("square.svgpb"), png = directory.file("square.png");
  ASSERT_TRUE(svg_test::writeFile(picture, svg_test::bytesFromHex(kRedSquare)));
  ASSERT_EQ(run("--scale 1 " + picture + " 100x100 " + png), 0);
  auto image = ImageDecoder::imageWithContentsOfFile(png);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 100);
  EXPECT_EQ(image->bitmap().pixel(12, 12), 0xFFFF0000u);
  EXPECT_EQ(image->bitmap().pixel(12, 95), 0u);  // upright: the square does not reach the bottom
  EXPECT_EQ(run(picture + " 50x50 " + png), 0);
  EXPECT_EQ(ImageDecoder::imageWithContentsOfFile(png)->pixelWidth(), 100);  // default scale 2
  EXPECT_EQ(run("--state 3 " + picture + " 10x10 " + png), 0);

  EXPECT_EQ(run(directory.file("missing.svgpb") + " 10x10 " + png), 1);
  ASSERT_TRUE(svg_test::writeFile(directory.file("bad.svgpb"), "\x0a\x7f garbage"));
  EXPECT_EQ(run(directory.file("bad.svgpb") + " 10x10 " + png), 1);
  EXPECT_EQ(run(picture + " tiny " + png), 2);
  EXPECT_EQ(run(picture), 2);
}
