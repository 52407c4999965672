#include <gtest/gtest.h>

#include <filesystem>

#include "Foundation/RunLoop.h"
#include "Graphics/Bitmap.h"
#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/MFMailComposeViewController.h"
#include "UI/UIActivityViewController.h"
#include "UI/UIButton.h"
#include "UI/UIImageWriteToSavedPhotosAlbum.h"

using namespace platform;
using namespace platform::testing;
using testing_support::TemporaryDirectory;

namespace {

std::shared_ptr<Image> picture() {
  auto bitmap = Bitmap::create(8, 6, PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) bitmap->setPixel(x, y, 0xFF336699u);
  return Image::imageWithBitmap(bitmap, 1);
}

class ShareTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    MFMailComposeViewController::setOutboxDirectory(dir.file("Outbox"));
    setSavedPhotosAlbumDirectory(dir.file("Album"));
    root = std::make_shared<UIViewController>();
    window->setRootViewController(root);
  }
  void TearDown() override {
    MFMailComposeViewController::setOutboxDirectory(std::nullopt);
    setSavedPhotosAlbumDirectory(std::nullopt);
    TouchTest::TearDown();
  }
  bool tapButtonTitled(UIView* tree, const std::string& title) {
    for (const auto& child : tree->subviews()) {
      if (auto* b = dynamic_cast<UIButton*>(child.get());
          b && b->titleForState(UIControlStateNormal) == title) {
        Rect r = b->bounds();
        host->tap(b->convertPointToView(Point{r.midX(), r.midY()}, window.get()));
        return true;
      }
      if (tapButtonTitled(child.get(), title)) return true;
    }
    return false;
  }
  size_t filesIn(const std::string& folder) const {
    std::error_code ec;
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(dir.file(folder), ec);
         !ec && it != std::filesystem::directory_iterator(); ++it)
      ++n;
    return n;
  }
  TemporaryDirectory dir;
  std::shared_ptr<UIViewController> root;
  std::vector<std::pair<std::string, bool>> outcomes;
};

}  // namespace

TEST_F(ShareTest, OffersSavingAndMailLessTheExcluded) {
  auto sheet = std::make_shared<UIActivityViewController>(std::vector{picture()});
  EXPECT_EQ(sheet->availableActivityTypes(),
            (std::vector<std::string>{UIActivityTypeSaveToCameraRoll, UIActivityTypeMail}));
  sheet->setExcludedActivityTypes({UIActivityTypePrint, UIActivityTypeMail});
  EXPECT_EQ(sheet->availableActivityTypes(),
            (std::vector<std::string>{UIActivityTypeSaveToCameraRoll}));
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(sheet->performActivity(UIActivityTypeMail));
  EXPECT_FALSE(sheet->performActivity(UIActivityTypePrint));
  EXPECT_TRUE(std::make_shared<UIActivityViewController>(std::vector<std::shared_ptr<Image>>{})
                  ->availableActivityTypes()
                  .empty());
}

TEST_F(ShareTest, SavingGoesToTheAlbumAfterTheSheetCloses) {
  auto sheet = std::make_shared<UIActivityViewController>(std::vector{picture()});
  sheet->setCompletionHandler(
      [&](const std::string& type, bool done) { outcomes.emplace_back(type, done); });
  root->presentViewController(sheet, true);
  host->advanceBy(1);
  ASSERT_TRUE(tapButtonTitled(sheet->view().get(), "Save Image"));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return !outcomes.empty(); }, 30));
  EXPECT_EQ(outcomes.front(), (std::pair<std::string, bool>{UIActivityTypeSaveToCameraRoll, true}));
  EXPECT_EQ(filesIn("Album"), 1u);
}

TEST_F(ShareTest, MailOpensAComposerWithThePictureAttached) {
  auto sheet = std::make_shared<UIActivityViewController>(std::vector{picture()});
  sheet->setCompletionHandler(
      [&](const std::string& type, bool done) { outcomes.emplace_back(type, done); });
  root->presentViewController(sheet, true);
  host->advanceBy(1);
  ASSERT_TRUE(tapButtonTitled(sheet->view().get(), "Mail"));
  host->advanceBy(1);
  auto mail =
      std::dynamic_pointer_cast<MFMailComposeViewController>(root->presentedViewController());
  ASSERT_TRUE(mail);
  EXPECT_NE(mail->mimeMessage().find("Content-Type: image/png; name=\"picture.png\""),
            std::string::npos);
  ASSERT_TRUE(tapButtonTitled(mail->view().get(), "Send"));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(outcomes, (std::vector<std::pair<std::string, bool>>{{UIActivityTypeMail, true}}));
  EXPECT_EQ(filesIn("Outbox"), 1u);
}

TEST_F(ShareTest, CancelClosesAndReportsNothingDone) {
  auto sheet = std::make_shared<UIActivityViewController>(std::vector{picture()});
  sheet->setCompletionHandler(
      [&](const std::string& type, bool done) { outcomes.emplace_back(type, done); });
  root->presentViewController(sheet, false);
  ASSERT_TRUE(tapButtonTitled(sheet->view().get(), "Cancel"));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(outcomes, (std::vector<std::pair<std::string, bool>>{{"", false}}));
}
