#include <gtest/gtest.h>

#include "Content/ContentControl.h"
#include "Content/ContentItem.h"
#include "ContentFixture.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"

using namespace platform;
using namespace content_testing;
using testing_support::runMainLoopUntil;

namespace {

// Waits for one picture from the item.
std::shared_ptr<Image> fetch(ContentItem& item, Size size, bool preview) {
  bool done = false;
  std::shared_ptr<Image> result;
  auto complete = [&](std::shared_ptr<Image> image) {
    result = std::move(image);
    done = true;
  };
  preview ? item.getPreviewImageWithSize(size, complete) : item.getBigImageWithSize(size, complete);
  EXPECT_TRUE(runMainLoopUntil([&] { return done; }));
  return result;
}

Size pixelSize(const Image& image) {
  return Size{static_cast<double>(image.bitmap().width()),
              static_cast<double>(image.bitmap().height())};
}

}  // namespace

TEST(ContentItemTest, FilesAndVariants) {
  auto none = ContentItem::ContentItemWithName("fon1", "1", {});
  EXPECT_EQ(none->filesNames(), std::vector<std::string>{"empty.png"});
  auto empty =
      ContentItem::ContentItemWithName("empty", "0", {"empty.png", "empty_small.png", "empty.png"});
  EXPECT_EQ(empty->filesNames().size(), 2u);
  EXPECT_EQ(empty->fileWithSuffixesSmall(true, false), "empty_small.png");
  auto frame = ContentItem::ContentItemWithName("frame3", "2", {"frame3_mask.jpg", "frame3.jpg"});
  EXPECT_EQ(frame->type(), ContentTypePhotoFrame);
  EXPECT_EQ(frame->fileWithSuffixesSmall(false, true), "frame3_mask.jpg");
  EXPECT_EQ(frame->fileWithSuffixesSmall(true, false), "frame3.jpg");  // no preview: the picture
  EXPECT_EQ(none->fileWithSuffixesSmall(false, true), std::nullopt);
}

TEST(ContentItemTest, PicturesAreFittedToTheScreenNeverEnlarged) {
  ContentFixture fixture;
  auto control = ContentControl::Instance();
  control->saveData(pictureBytes(1000, 1000, 0xFF336699), "clipart1.png", "1");
  control->saveData(pictureBytes(50, 50, 0xFF336699), "clipart2.png", "1");
  control->searchContent();
  for (auto [name, pixels] : {std::pair{"clipart1", 200.0}, {"clipart2", 50.0}}) {
    auto fitted = fetch(*control->contentImageWithName(name), Size{100, 100}, false);
    ASSERT_NE(fitted, nullptr) << name;
    EXPECT_EQ(pixelSize(*fitted), (Size{pixels, pixels})) << name;
    EXPECT_EQ(fitted->scale(), 2) << name;
  }
  // Without a preview file the preview is the full picture at the preview's size.
  auto preview = fetch(*control->contentImageWithName("clipart1"), Size{30, 30}, true);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(pixelSize(*preview), (Size{60, 60}));
  EXPECT_NE(ImageCache::Instance().imageWithKeyName("small_Image_Key_clipart1"), nullptr);
}

TEST(ContentItemTest, MissingFilesGiveTheLoadingPictureUntilTheyArrive) {
  ContentFixture fixture;
  auto control = ContentControl::Instance();
  control->saveData(pictureBytes(20, 20, 0xFF00FF00), "fon3_small.png", "1");
  auto item = ContentItem::ContentItemWithName("fon3", "1", {"fon3.png", "fon3_small.png"});
  item->setCatalog(control);
  EXPECT_FALSE(item->isAllContentDownloaded());
  auto loading = fetch(*item, Size{320, 480}, false);
  ASSERT_NE(loading, nullptr);
  EXPECT_TRUE(item->isBigImageLoadPage());
  EXPECT_EQ(loading, ImageCache::Instance().imageWithKeyName(ContentItem::kLoadingImageKey));

  control->saveData(pictureBytes(64, 96, 0xFF0000FF), "fon3.png", "1");
  item->cleanBigImage();
  EXPECT_FALSE(item->isBigImagePrepared());
  auto real = fetch(*item, Size{320, 480}, false);
  ASSERT_NE(real, nullptr);
  EXPECT_FALSE(item->isBigImageLoadPage());
  EXPECT_EQ(pixelSize(*real), (Size{64, 96}));
  EXPECT_TRUE(item->isBigImagePrepared());
}

TEST(ContentItemTest, JpegFramesUseTheirMaskAndTopBottomFramesTheDefaultOne) {
  ContentFixture fixture;
  auto control = ContentControl::Instance();
  for (const char* name : {"tbframe7.jpg", "frame7.jpg", "frame8.jpg"})
    control->saveData(pictureBytes(64, 96, 0xFFFF0000, true), name, "1");
  control->saveData(pictureBytes(64, 96, 0xFFFFFFFF, true), "frame8_mask.jpg", "1");  // removes
  control->searchContent();
  auto big = [&](const char* name) {
    return fetch(*control->contentImageWithName(name), Size{320, 480}, false);
  };
  auto tbframe = big("tbframe7"), frame = big("frame7"), masked = big("frame8");
  ASSERT_TRUE(tbframe && frame && masked);
  // The default mask keeps the bands at the top and bottom and removes the middle.
  EXPECT_GT(alphaAt(*tbframe, 32, 1), 200);
  EXPECT_LT(alphaAt(*tbframe, 32, 48), 30);
  EXPECT_EQ(alphaAt(*frame, 32, 48), 255);
  EXPECT_LT(alphaAt(*masked, 32, 48), 30);
  // Previews are never masked.
  auto preview = fetch(*control->contentImageWithName("tbframe7"), Size{32, 48}, true);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(alphaAt(*preview, 16, 24), 255);
}

TEST(ContentItemTest, RequestsDuringARenderShareItAndCancellingDropsTheCompletion) {
  ContentFixture fixture;
  auto control = ContentControl::Instance();
  control->saveData(pictureBytes(300, 300, 0xFF123456), "face4.png", "1");
  control->searchContent();
  auto item = control->contentImageWithName("face4");
  int calls = 0;
  std::shared_ptr<Image> first, second;
  item->getBigImageWithSize(Size{100, 100}, [&](std::shared_ptr<Image> image) {
    first = image;
    ++calls;
  });
  EXPECT_TRUE(item->isBigImageRendering());
  item->getBigImageWithSize(Size{100, 100}, [&](std::shared_ptr<Image> image) {
    second = image;
    ++calls;
  });
  ASSERT_TRUE(runMainLoopUntil([&] { return calls == 2; }));
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_FALSE(item->isBigImageRendering());
  // Now straight from the cache, synchronously.
  bool immediate = false;
  item->getBigImageWithSize(Size{100, 100},
                            [&](std::shared_ptr<Image> image) { immediate = image == first; });
  EXPECT_TRUE(immediate);

  bool cancelledCalled = false;
  std::shared_ptr<Image> waiterImage;
  item->getPreviewImageWithSize(Size{10, 10},
                                [&](std::shared_ptr<Image>) { cancelledCalled = true; });
  item->cancelPreviewImageRenderTask();
  item->getPreviewImageWithSize(Size{10, 10},
                                [&](std::shared_ptr<Image> image) { waiterImage = image; });
  ASSERT_TRUE(runMainLoopUntil([&] { return waiterImage != nullptr; }));
  EXPECT_FALSE(cancelledCalled);
  // The waiting request gets a new render at the size it asked for.
  EXPECT_EQ(pixelSize(*waiterImage), (Size{20, 20}));
  EXPECT_FALSE(item->isPreviewImageRendering());

  // No file for the picture: null, and nothing cached.
  auto broken = ContentItem::ContentItemWithName("face5", "1", {"face5.gif"});
  broken->setCatalog(control);
  control->addContentFile("face5.gif");
  EXPECT_EQ(fetch(*broken, Size{10, 10}, true), nullptr);
  EXPECT_EQ(ImageCache::Instance().imageWithKeyName(broken->smallImageKeyName()), nullptr);
}
