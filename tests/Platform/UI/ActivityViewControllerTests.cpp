#include <gtest/gtest.h>

#include <filesystem>

#include "Foundation/RunLoop.h"
#include "Graphics/Bitmap.h"
#include "Graphics/ImageDecoder.h"
#include "LaunchRecorder.h"
#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/MFMailComposeViewController.h"
#include "UI/UIActivityViewController.h"
#include "UI/UIButton.h"
#include "UI/UIImageWriteToSavedPhotosAlbum.h"

using namespace platform;
using namespace platform::testing;
using testing_support::ScopedEnvironment;
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
  // A sheet for one picture that reports into `outcomes`.
  std::shared_ptr<UIActivityViewController> makeSheet() {
    auto sheet = std::make_shared<UIActivityViewController>(std::vector{picture()});
    sheet->setCompletionHandler(
        [this](const std::string& type, bool done) { outcomes.emplace_back(type, done); });
    return sheet;
  }
  // Presents `sheet` over the root and taps its button `title`, each animation let finish.
  void presentAndTap(const std::shared_ptr<UIActivityViewController>& sheet,
                     const std::string& title) {
    root->presentViewController(sheet, true);
    host->advanceBy(1);
    ASSERT_TRUE(tapButtonTitled(sheet->view().get(), title));
    host->advanceBy(1);
  }
  // The names of the files in `folder`.
  static std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
      names.push_back(e.path().filename().string());
    return names;
  }
  std::string sharedPictures() const {
    return container.root() + "/Library/Caches/Shared Pictures";
  }
  TemporaryDirectory dir;
  testing_support::ScopedAppContainer container;
  // No desktop program is found or started unless a test puts it there.
  ScopedEnvironment path{"PATH", dir.file("bin")};
  ScopedEnvironment x11{"DISPLAY", std::nullopt};
  ScopedEnvironment wayland{"WAYLAND_DISPLAY", std::nullopt};
  std::shared_ptr<UIViewController> root;
  std::vector<std::pair<std::string, bool>> outcomes;
};

}  // namespace

TEST_F(ShareTest, CancelReportsNothingDoneSavingGoesToTheAlbumAndMailToTheComposer) {
  auto sheet = makeSheet();
  root->presentViewController(sheet, false);
  ASSERT_TRUE(tapButtonTitled(sheet->view().get(), "Cancel"));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(outcomes, (std::vector<std::pair<std::string, bool>>{{"", false}}));
  outcomes.clear();

  ASSERT_NO_FATAL_FAILURE(presentAndTap(sheet, "Save Image"));
  EXPECT_EQ(root->presentedViewController(), nullptr);
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return !outcomes.empty(); }, 30));
  EXPECT_EQ(outcomes.front(), (std::pair<std::string, bool>{UIActivityTypeSaveToCameraRoll, true}));
  EXPECT_EQ(filesIn(dir.file("Album")).size(), 1u);

  // Mail opens a composer with the picture attached.
  outcomes.clear();
  sheet = makeSheet();
  ASSERT_NO_FATAL_FAILURE(presentAndTap(sheet, "Mail"));
  auto mail =
      std::dynamic_pointer_cast<MFMailComposeViewController>(root->presentedViewController());
  ASSERT_TRUE(mail);
  EXPECT_NE(mail->mimeMessage().find("Content-Type: image/png; name=\"picture.png\""),
            std::string::npos);
  ASSERT_TRUE(tapButtonTitled(mail->view().get(), "Send"));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(outcomes, (std::vector<std::pair<std::string, bool>>{{UIActivityTypeMail, true}}));
  EXPECT_EQ(filesIn(dir.file("Outbox")).size(), 1u);
}

TEST_F(ShareTest, OffersSavingMailAndTheViewerWhenItsOpenerCanStartLessTheExcluded) {
  auto sheet = std::make_shared<UIActivityViewController>(std::vector{picture()});
  const std::vector<std::string> all = {UIActivityTypeSaveToCameraRoll, UIActivityTypeMail,
                                        UIActivityTypeOpenInViewer};
  EXPECT_EQ(sheet->availableActivityTypes(),  // no opener on PATH
            (std::vector<std::string>{UIActivityTypeSaveToCameraRoll, UIActivityTypeMail}));
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(sheet->performActivity(UIActivityTypeOpenInViewer));
  EXPECT_TRUE(filesIn(sharedPictures()).empty());
  testing_support::writeTextFile(dir.file("bin/xdg-open"), "#!/bin/sh\n");
  std::filesystem::permissions(dir.file("bin/xdg-open"), std::filesystem::perms::owner_all);
  EXPECT_EQ(sheet->availableActivityTypes(), all);
  sheet->setExcludedActivityTypes({UIActivityTypePrint, UIActivityTypeMail});
  EXPECT_EQ(sheet->availableActivityTypes(),
            (std::vector<std::string>{UIActivityTypeSaveToCameraRoll, UIActivityTypeOpenInViewer}));
  EXPECT_FALSE(sheet->performActivity(UIActivityTypeMail));
  EXPECT_FALSE(sheet->performActivity(UIActivityTypePrint));
  EXPECT_TRUE(std::make_shared<UIActivityViewController>(std::vector<std::shared_ptr<Image>>{})
                  ->availableActivityTypes()
                  .empty());

  // The desktop launcher's stand-in starts anything: the viewer is offered without a program.
  std::filesystem::remove(dir.file("bin/xdg-open"));
  LaunchRecorder recorder;
  sheet->setExcludedActivityTypes({UIActivityTypePrint});
  EXPECT_EQ(sheet->availableActivityTypes(), all);
  EXPECT_TRUE(recorder.launches.empty());
}

TEST_F(ShareTest, OpenInViewerHandsAPngOfThePictureToTheOpener) {
  LaunchRecorder recorder;
  auto sheet = makeSheet();
  ASSERT_NO_FATAL_FAILURE(presentAndTap(sheet, "Open in Viewer"));
  EXPECT_EQ(root->presentedViewController(), nullptr);
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return !outcomes.empty(); }, 30));
  EXPECT_EQ(outcomes.back(), (std::pair<std::string, bool>{UIActivityTypeOpenInViewer, true}));
  ASSERT_EQ(recorder.launches.size(), 1u);
  ASSERT_EQ(recorder.launches[0].size(), 2u);
  EXPECT_EQ(recorder.launches[0][0], "xdg-open");
  std::string first = recorder.launches[0][1];
  EXPECT_EQ(first.rfind(sharedPictures() + "/", 0), 0u);
  auto shown = ImageDecoder::imageWithContentsOfFile(first);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->pixelWidth(), 8);
  EXPECT_EQ(shown->pixelHeight(), 6);
  EXPECT_EQ(shown->bitmap().pixel(3, 2), 0xFF336699u);

  // A viewer that does not start is reported; the earlier picture makes way for the new one.
  recorder.starts = false;
  auto again = makeSheet();
  testing_support::ConsoleCapture console;
  ASSERT_TRUE(again->performActivity(UIActivityTypeOpenInViewer));
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return outcomes.size() == 2; }, 30));
  EXPECT_EQ(outcomes.back(), (std::pair<std::string, bool>{UIActivityTypeOpenInViewer, false}));
  ASSERT_EQ(recorder.launches.size(), 2u);
  std::string second = recorder.launches[1][1];
  EXPECT_NE(second, first);
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_EQ(filesIn(sharedPictures()),
            std::vector<std::string>{std::filesystem::path(second).filename().string()});
}
