#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "ExifJpeg.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/RunLoop.h"
#include "Graphics/Bitmap.h"
#include "Graphics/ImageEncoder.h"
#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/UIButton.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIImageWriteToSavedPhotosAlbum.h"
#include "UI/UIScrollView.h"

using namespace platform;
using namespace platform::testing;
using testing_support::TemporaryDirectory;

namespace {

std::shared_ptr<Image> picture(int w, int h) {
  auto bitmap = Bitmap::create(w, h, PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap->setPixel(x, y, 0xFF000000u | (x * 5) << 8 | y * 7);
  return Image::imageWithBitmap(bitmap, 1);
}

class Delegate : public UIImagePickerControllerDelegate {
 public:
  void imagePickerControllerDidFinishPickingMediaWithInfo(
      UIImagePickerController& picker, const UIImagePickerMediaInfo& info) override {
    auto it = info.find(UIImagePickerControllerOriginalImage);
    if (it != info.end()) picked = std::any_cast<std::shared_ptr<Image>>(it->second);
    path = std::any_cast<std::string>(info.at(UIImagePickerControllerReferenceURL));
    picker.dismissViewControllerAnimated(true);
  }
  void imagePickerControllerDidCancel(UIImagePickerController& picker) override {
    ++cancels;
    picker.dismissViewControllerAnimated(true);
  }
  std::shared_ptr<Image> picked;
  std::string path;
  int cancels = 0;
};

class ImagePickerTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    UIImagePickerController::setPhotoLibraryDirectory(library.path());
    root = std::make_shared<UIViewController>();
    window->setRootViewController(root);
  }
  void TearDown() override {
    UIImagePickerController::setPhotoLibraryDirectory(std::nullopt);
    TouchTest::TearDown();
  }
  // The picker's thumbnail grid.
  static UIScrollView* gridOf(UIImagePickerController& picker) {
    for (const auto& v : picker.view()->subviews())
      if (auto* s = dynamic_cast<UIScrollView*>(v.get())) return s;
    return nullptr;
  }
  TemporaryDirectory library;
  std::shared_ptr<UIViewController> root;
};

}  // namespace

TEST_F(ImagePickerTest, PicksAFileTurnedAsItsExifSaysOrCancels) {
  ASSERT_TRUE(AtomicFile::write(library.file("b.jpg"),
                                testing_support::jpegWithExifOrientation(*picture(40, 20), 6)));
  ASSERT_TRUE(AtomicFile::write(library.file("a.png"), *ImageEncoder::pngData(*picture(10, 10))));
  ASSERT_TRUE(AtomicFile::write(library.file("notes.txt"), Bytes{'h', 'i'}));
  ASSERT_TRUE(AtomicFile::write(library.file("broken.jpg"), Bytes{0xFF, 0xD8, 1, 2}));
  // A good picture padded past the size limit (sparse: the padding is never written) and a
  // pipe, both named like pictures, are never read (the pipe would block the reading
  // forever). Padded up to the limit exactly, the picture still reads: the decoder ignores
  // what follows its end.
  std::string huge = library.file("huge.png");
  ASSERT_TRUE(AtomicFile::write(huge, *ImageEncoder::pngData(*picture(4, 4))));
  std::filesystem::resize_file(huge, UIImagePickerController::kMaximumFileSize);
  EXPECT_NE(UIImagePickerController::loadPicture(huge), nullptr);
  std::filesystem::resize_file(huge, UIImagePickerController::kMaximumFileSize + 1);
  EXPECT_EQ(UIImagePickerController::loadPicture(huge), nullptr);
  ASSERT_EQ(mkfifo(library.file("pipe.png").c_str(), 0600), 0);
  EXPECT_EQ(UIImagePickerController::loadPicture(library.file("pipe.png")), nullptr);
  std::filesystem::remove(huge);
  std::filesystem::remove(library.file("pipe.png"));
  EXPECT_TRUE(UIImagePickerController::isSourceTypeAvailable(
      UIImagePickerControllerSourceType::PhotoLibrary));

  auto delegate = std::make_shared<Delegate>();
  auto picker = std::make_shared<UIImagePickerController>();
  picker->setDelegate(delegate);
  root->presentViewController(picker, true);
  host->advanceBy(1);
  ASSERT_EQ(picker->pictureFiles().size(), 3u);
  EXPECT_EQ(picker->pictureFiles()[0], library.file("a.png"));
  EXPECT_EQ(picker->pictureFiles()[2], library.file("broken.jpg"));

  // The thumbnails are the buttons of the grid, in file order.
  UIScrollView* grid = gridOf(*picker);
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->subviews().size(), 3u);
  // Four columns fill the 320-point screen's row.
  EXPECT_EQ(grid->subviews()[2]->frame(), Rect(4 + 2 * 79, 4, 75, 75));
  auto* broken = dynamic_cast<UIButton*>(grid->subviews()[2].get());
  ASSERT_TRUE(broken);
  EXPECT_EQ(broken->titleForState(UIControlStateNormal), "Unreadable");
  EXPECT_FALSE(broken->backgroundImageForState(UIControlStateNormal));
  testing_support::ConsoleCapture console;
  host->tapView(*grid->subviews()[2]);  // unreadable: a message, the picker stays
  EXPECT_FALSE(delegate->picked);
  EXPECT_EQ(console.lines().size(), 1u);
  host->advanceBy(1);
  host->tapView(*grid->subviews()[1]);
  ASSERT_TRUE(delegate->picked);
  EXPECT_EQ(delegate->path, library.file("b.jpg"));
  EXPECT_EQ(delegate->picked->orientation(), ImageOrientation::Right);
  EXPECT_EQ(delegate->picked->size(), (Size{20, 40}));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);

  // Asked for a size, the picker delivers the photo fitted as shown, still turned.
  picker = std::make_shared<UIImagePickerController>();
  picker->setDelegate(delegate);
  picker->setMaximumPictureSize(Size{10, 10});
  root->presentViewController(picker, false);
  ASSERT_TRUE(picker->pickFileAtIndex(1));
  EXPECT_EQ(delegate->picked->orientation(), ImageOrientation::Right);
  EXPECT_EQ(delegate->picked->size(), (Size{5, 10}));
  host->advanceBy(1);

  picker = std::make_shared<UIImagePickerController>();
  picker->setDelegate(delegate);
  root->presentViewController(picker, false);
  picker->cancel();
  EXPECT_EQ(delegate->cancels, 1);
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(ImagePickerTest, ThumbnailsAreDrawnAsTheirCellsComeIntoSight) {
  auto png = *ImageEncoder::pngData(*picture(8, 8));
  for (int i = 0; i < 80; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "p%02d.png", i);
    ASSERT_TRUE(AtomicFile::write(library.file(name), png));
  }
  auto picker = std::make_shared<UIImagePickerController>();
  root->presentViewController(picker, false);
  UIScrollView* grid = gridOf(*picker);
  ASSERT_TRUE(grid);
  auto drawn = [&] {
    int n = 0;
    for (const auto& v : grid->subviews())
      if (auto* b = dynamic_cast<UIButton*>(v.get());
          b && b->backgroundImageForState(UIControlStateNormal))
        ++n;
    return n;
  };
  // 20 rows of 4; the screen shows about 6 of them, a row more is drawn ahead.
  int first = drawn();
  EXPECT_GE(first, 24);
  EXPECT_LE(first, 36);
  auto* last = dynamic_cast<UIButton*>(grid->subviews()[79].get());
  ASSERT_TRUE(last);
  EXPECT_FALSE(last->backgroundImageForState(UIControlStateNormal));
  grid->setContentOffset(grid->maximumContentOffset());
  EXPECT_TRUE(last->backgroundImageForState(UIControlStateNormal));
  EXPECT_LT(drawn(), 80);  // the middle rows were skipped over
}

TEST_F(ImagePickerTest, AMissingLibraryIsUnavailableAndShowsNothing) {
  UIImagePickerController::setPhotoLibraryDirectory(library.file("missing"));
  EXPECT_FALSE(UIImagePickerController::isSourceTypeAvailable(
      UIImagePickerControllerSourceType::PhotoLibrary));
  testing_support::ConsoleCapture console;
  auto empty = std::make_shared<UIImagePickerController>();
  EXPECT_TRUE(empty->view());
  EXPECT_TRUE(empty->pictureFiles().empty());
  EXPECT_EQ(console.lines().size(), 1u);
}

TEST(SavedPhotosAlbumTest, SavesAJpegAndReportsErrorsOnTheMainLoop) {
  TemporaryDirectory dir;
  // What the save of `image` into `folder` reported.
  auto save = [](const std::string& folder, std::shared_ptr<Image> image) {
    setSavedPhotosAlbumDirectory(folder);
    std::optional<std::optional<std::string>> result;
    UIImageWriteToSavedPhotosAlbum(image, [&](const auto& error) { result = error; });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return result.has_value(); }, 30));
    setSavedPhotosAlbumDirectory(std::nullopt);
    return result.value_or("no answer");
  };
  EXPECT_EQ(save(dir.file("Album"), picture(30, 20)), std::nullopt);
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir.file("Album")))
    files.push_back(e.path().filename().string());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].substr(0, 4), "IMG_");
  auto saved = UIImagePickerController::loadPicture(dir.file("Album/" + files[0]));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->size(), (Size{30, 20}));

  // A file where the folder should be, or no picture: the error comes back instead.
  ASSERT_TRUE(AtomicFile::write(dir.file("file"), Bytes{'x'}));
  EXPECT_TRUE(save(dir.file("file/Album"), picture(3, 2)).has_value());
  EXPECT_TRUE(save(dir.file("Album"), nullptr).has_value());
}
