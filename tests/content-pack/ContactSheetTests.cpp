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

}  // namespace
