// The contact-sheet tool, run as a person runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Graphics/ImageDecoder.h"
#include "PackFolder.h"
#include "SheetLayout.h"
#include "TestSupport.h"

namespace {

// The tool's exit status.
int run(const std::string& arguments) {
  std::string command = std::string(CONTACT_SHEET_PATH) + " " + arguments + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ContactSheet, DrawsTheWholePackOnTheExpectedGridForEachScreen) {
  testing_support::TemporaryDirectory output;
  for (bool tall : {false, true}) {
    SCOPED_TRACE(tall ? "tall" : "standard");
    std::string sheet = output.file(tall ? "tall.png" : "sheet.png");
    ASSERT_EQ(run(std::string(tall ? "--tall " : "") + "--resources " + CONTENT_RESOURCES_DIR +
                  " " + CONTENT_PACK_DIR + " " + sheet),
              0);
    auto image = platform::ImageDecoder::imageWithContentsOfFile(sheet);
    ASSERT_TRUE(image);
    std::string error;
    auto folder = PackFolder::read(CONTENT_PACK_DIR, tall, error);
    ASSERT_TRUE(folder) << error;
    platform::Size expected = SheetLayout::sheetSize(folder->counts(), tall);
    EXPECT_EQ(image->pixelWidth(), static_cast<int>(expected.width));
    EXPECT_EQ(image->pixelHeight(), static_cast<int>(expected.height));
    // The first cell's full picture is the first background, not the sheet's ground colour.
    int x = SheetLayout::kMargin + SheetLayout::kPadding + 80;
    int y = SheetLayout::kMargin + SheetLayout::kPadding + 100;
    EXPECT_NE(image->bitmap().pixel(x, y), image->bitmap().pixel(2, 2));
  }
}

TEST(ContactSheet, BadInputGivesAnErrorStatusAndAnItemThatDoesNotDrawIsReported) {
  testing_support::TemporaryDirectory output;
  EXPECT_EQ(run(""), 2);
  EXPECT_EQ(run("--bogus a b"), 2);
  EXPECT_EQ(run(output.file("missing") + " " + output.file("sheet.png")), 1);
  EXPECT_EQ(run(std::string(CONTENT_PACK_DIR) + " " + output.file("no/such/dir/sheet.png")), 1);
  // A picture file that is not a picture, and a vector file that is not a picture either.
  for (const char* name :
       {"frame1.png", "frame1_small.png", "clipart1.svgpb", "clipart1_small.svgpb"})
    testing_support::writeTextFile(output.file(name), "not a picture");
  EXPECT_EQ(run(output.path() + " " + output.file("sheet.png")), 1);
  EXPECT_TRUE(platform::ImageDecoder::imageWithContentsOfFile(output.file("sheet.png")))
      << "the sheet is still written";
}

// The art sheet shows each listed picture of a bundle; a missing one or a wrong size is
// reported and gives status 1, a malformed list status 1 with no sheet.
TEST(ContactSheet, ArtSheetShowsTheListedPicturesAndReportsMissingOnes) {
  testing_support::TemporaryDirectory output;
  std::string bundle = std::string(" --resources ") + PICTAVIA_RESOURCES_DIR + " ";
  testing_support::writeTextFile(output.file("good.list"),
                                 "# one button\nbtn_back 44 44 b.svg 0\n");
  ASSERT_EQ(run("--art --list " + output.file("good.list") + bundle + output.file("good.png")), 0);
  auto sheet = platform::ImageDecoder::imageWithContentsOfFile(output.file("good.png"));
  ASSERT_TRUE(sheet);
  // The button's face fills the middle of its cell, clearly not the sheet's ground.
  EXPECT_NE(sheet->bitmap().pixel(24 + 44, 24 + 44), sheet->bitmap().pixel(2, 2));
  EXPECT_EQ(
      run("--art --scale 1 --list " + output.file("good.list") + bundle + output.file("one.png")),
      0);

  testing_support::writeTextFile(output.file("bad.list"),
                                 "btn_back 44 44 b.svg 0\n\nno_such_picture 10 10 n.svg -\n"
                                 "btn_buy 70 44 b.svg 0\n");
  EXPECT_EQ(run("--art --list " + output.file("bad.list") + bundle + output.file("bad.png")), 1);
  EXPECT_TRUE(platform::ImageDecoder::imageWithContentsOfFile(output.file("bad.png")));
  testing_support::writeTextFile(output.file("broken.list"), "btn_back 44 wide b.svg 0\n");
  EXPECT_EQ(run("--art --list " + output.file("broken.list") + bundle + output.file("x.png")), 1);
  EXPECT_EQ(run("--art --scale 3 " + output.file("x.png")), 2);
  EXPECT_EQ(run("--art --tall " + output.file("x.png")), 2);
}

}  // namespace
