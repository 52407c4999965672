#include <gtest/gtest.h>

#include "AppUI/ImageItemCell.h"
#include "Content/ContentControl.h"
#include "ContentFixture.h"

using namespace platform;
using namespace content_testing;
using testing_support::runMainLoopUntil;

TEST(ImageItemCellTest, PreviewIsAskedOnceLaidOutAndCancelledWhenTheItemChanges) {
  ContentFixture fixture;
  auto control = ContentControl::Instance();
  control->saveData(pictureBytes(400, 400, 0xFF336699), "clipart1.png", "1");
  control->saveData(pictureBytes(300, 600, 0xFF993366), "clipart2.png", "1");
  control->searchContent();
  auto first = control->contentImageWithName("clipart1");
  auto second = control->contentImageWithName("clipart2");
  ASSERT_TRUE(first && second);

  // Before its first layout the cell has no size to ask for.
  auto cell = std::make_shared<ImageItemCell>();
  cell->setFrame(Rect(0, 0, 80, 120));
  cell->setData(first);
  EXPECT_FALSE(first->isPreviewImageRendering());
  cell->layoutIfNeeded();
  EXPECT_EQ(cell->imgView()->frame(), Rect(2, 4, 76, 112));
  EXPECT_TRUE(first->isPreviewImageRendering());
  // The same item again leaves its request alone: the picture still arrives.
  cell->setData(first);
  ASSERT_TRUE(runMainLoopUntil([&] { return cell->imgView()->image() != nullptr; }));
  auto shown = cell->imgView()->image();
  EXPECT_EQ(shown, ImageCache::Instance().imageWithKeyName(first->smallImageKeyName()));
  EXPECT_EQ(shown->size(), (Size{76, 76}));  // fitted to the picture's place, never enlarged

  // Handed another item while the first renders, the cell cancels that render: its picture is
  // never cached, and the cell shows the new item's.
  ImageCache::Instance().cleanCache();
  auto other = std::make_shared<ImageItemCell>();
  other->setFrame(Rect(0, 0, 80, 120));
  other->setData(first);
  other->layoutIfNeeded();
  ASSERT_TRUE(first->isPreviewImageRendering());
  other->setData(second);
  EXPECT_EQ(other->imgView()->image(), nullptr);
  ASSERT_TRUE(runMainLoopUntil(
      [&] { return other->imgView()->image() != nullptr && !first->isPreviewImageRendering(); }));
  EXPECT_EQ(other->imgView()->image(),
            ImageCache::Instance().imageWithKeyName(second->smallImageKeyName()));
  EXPECT_EQ(ImageCache::Instance().imageWithKeyName(first->smallImageKeyName()), nullptr);
  EXPECT_EQ(other->imgView()->image()->size(), (Size{56, 112}));
  // A cell with a picture asks for nothing more when laid out again.
  other->setFrame(Rect(0, 0, 90, 120));
  other->layoutIfNeeded();
  EXPECT_FALSE(second->isPreviewImageRendering());
}
