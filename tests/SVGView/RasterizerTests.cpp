#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>

#include "Graphics/ImageDecoder.h"
#include "TestSupport.h"
#include "WireBytes.h"

using namespace platform;

namespace {

int run(const std::string& arguments) {
  std::string command = std::string(SVGPB_RENDER_PATH) + " " + arguments + " 2>/dev/null";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(RasterizerTest, TheCommandWritesAnUprightPng) {
  testing_support::TemporaryDirectory directory;
  std::string picture = directory.file("corner.svgpb"), png = directory.file("corner.png");
  // A red block in the top left corner of a 100x100 picture.
  ProtoSVGRoot root = svg_test::squareRoot();
  svg_test::setColor(
      svg_test::addRect(root.mutable_params(), 0, 0, 30, 20)->mutable_params()->mutable_fill(), 255,
      0, 0);
  ASSERT_TRUE(svg_test::writeFile(picture, root.SerializeAsString()));
  ASSERT_EQ(run("--scale 1 " + picture + " 100x100 " + png), 0);
  auto image = ImageDecoder::imageWithContentsOfFile(png);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 100);
  EXPECT_EQ(image->bitmap().pixel(5, 5), 0xFFFF0000u);
  EXPECT_EQ(image->bitmap().pixel(5, 95) | image->bitmap().pixel(95, 5), 0u);
  EXPECT_EQ(run(picture + " 50x50 " + png), 0);
  EXPECT_EQ(ImageDecoder::imageWithContentsOfFile(png)->pixelWidth(), 100);  // default scale 2
  EXPECT_EQ(run("--state 3 " + picture + " 10x10 " + png), 0);

  EXPECT_EQ(run(directory.file("missing.svgpb") + " 10x10 " + png), 1);
  ASSERT_TRUE(svg_test::writeFile(directory.file("bad.svgpb"), "\x0a\x7f garbage"));
  EXPECT_EQ(run(directory.file("bad.svgpb") + " 10x10 " + png), 1);
  EXPECT_EQ(run(picture + " tiny " + png), 2);
  EXPECT_EQ(run(picture), 2);
  // A folder, a named pipe without a writer and a state that is not a number are refused.
  EXPECT_EQ(run(directory.path() + " 10x10 " + png), 2);
  ASSERT_EQ(mkfifo(directory.file("pipe.svgpb").c_str(), 0600), 0);
  EXPECT_EQ(run(directory.file("pipe.svgpb") + " 10x10 " + png), 2);
  EXPECT_EQ(run("--state abc " + picture + " 10x10 " + png), 2);
}
