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

void expectSheetOfThePack(bool tall) {
  testing_support::TemporaryDirectory output;
  std::string sheet = output.file("sheet.png");
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

TEST(ContactSheet, DrawsTheWholePackOnTheExpectedGrid) {
  expectSheetOfThePack(false);
}

TEST(ContactSheet, DrawsTheTallScreensPack) {
  expectSheetOfThePack(true);
}

TEST(ContactSheet, GridGrowsByWholeRowsPerType) {
  std::array<int, kContentTypeCount> counts = {8, 1, 9, 0, 16};
  platform::Size size = SheetLayout::sheetSize(counts, false);
  EXPECT_EQ(size.width, 2 * SheetLayout::kMargin + 8 * SheetLayout::kCellWidth);
  EXPECT_EQ(size.height, 2 * SheetLayout::kMargin + 6 * SheetLayout::cellHeight(false));
  EXPECT_GT(SheetLayout::cellHeight(true), SheetLayout::cellHeight(false));
}

TEST(ContactSheet, BadInputGivesAnErrorStatus) {
  testing_support::TemporaryDirectory output;
  EXPECT_EQ(run(""), 2);
  EXPECT_EQ(run("--bogus a b"), 2);
  EXPECT_EQ(run(output.file("missing") + " " + output.file("sheet.png")), 1);
  EXPECT_EQ(run(std::string(CONTENT_PACK_DIR) + " " + output.file("no/such/dir/sheet.png")), 1);
}

TEST(ContactSheet, AnItemThatDoesNotDrawIsReported) {
  testing_support::TemporaryDirectory pack;
  // A picture file that is not a picture, and a vector file that is not a picture either.
  for (const char* name : {"frame1.png", "frame1_small.png", "clipart1.svgpb",
                           "clipart1_small.svgpb"}) {
    FILE* file = std::fopen(pack.file(name).c_str(), "wb");
    ASSERT_TRUE(file);
    std::fputs("not a picture", file);
    std::fclose(file);
  }
  EXPECT_EQ(run(pack.path() + " " + pack.file("sheet.png")), 1);
  EXPECT_TRUE(platform::ImageDecoder::imageWithContentsOfFile(pack.file("sheet.png")))
      << "the sheet is still written";
}

}  // namespace
