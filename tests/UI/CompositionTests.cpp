#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "../Content/ContentFixture.h"
#include "AppUI/CompositionSaver.h"
#include "AppUI/ImageListController.h"
#include "AppUI/ImageSwapView.h"
#include "AppUI/LoadingView.h"
#include "GeneralTools/AppDelegateScreens.h"
#include "GeneralTools/DispatchTools.h"
#include "Graphics/ImageDecoder.h"
#include "Host/OffscreenHost.h"
#include "RecordingTracker.h"
#include "UI/UIActivityViewController.h"
#include "UI/UIAlertView.h"
#include "UI/UIApplication.h"
#include "UI/UIImageWriteToSavedPhotosAlbum.h"
#include "UI/UINavigationController.h"
#include "UI/UIWindow.h"

using namespace platform;
using namespace content_testing;
using testing_support::runMainLoopUntil;

namespace {

class NavigationDelegate : public UIApplicationDelegate, public AppDelegateScreens {
 public:
  bool canUseInterfaceOrientation(UIInterfaceOrientation) const override { return true; }
  std::shared_ptr<UINavigationController> navigationController() const override {
    return navigation;
  }
  std::shared_ptr<UINavigationController> navigation;
};

// Five catalogue backgrounds of one colour each, 400 x 600 pixels, and a blue clipart, on a
// 3.5-inch phone at scale 1 (so a zoomed layer asks for more pixels than an unzoomed one), in
// an offscreen window.
class CompositionTest : public ::testing::Test {
 protected:
  CompositionTest() {
    UIApplication::sharedApplication().reset();
    window->makeKeyAndVisible();
    tracker->withCategory = false;
    Tools::Instance().setAnalyticsTracker(tracker);
    auto control = ContentControl::Instance();
    const std::uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF};
    for (int i = 0; i < 5; ++i) {
      std::string name = "fon" + std::to_string(i);
      control->saveData(pictureBytes(400, 600, colours[i]), name + ".png", "1");
      colourOf[name] = colours[i];
    }
    control->saveData(pictureBytes(100, 100, 0xFF0000FF), "clipart1.png", "1");
    // Once, before any picture is drawn: a rescan while renders run may show them the
    // loading page.
    control->searchContent();
    backgrounds->addContentItems(*control->contentItemsForType(ContentTypeBackground));
  }
  ~CompositionTest() override {
    LoadingView::hide();
    Tools::Instance().setAnalyticsTracker(nullptr);
    UIApplication::sharedApplication().reset();
  }
  // Lets every render end and every transition finish.
  void settle() {
    auto idle = [] { return DispatchTools::Instance().taskCount() == 0; };
    ASSERT_TRUE(runMainLoopUntil(idle));
    host.advanceBy(1);  // transitions end; a re-render may fall due on the way
    ASSERT_TRUE(runMainLoopUntil(idle));
  }
  std::uint32_t shownColour(const ImageSwapView& view) const {
    const auto& image = view.image();
    return image ? image->bitmap().pixel(image->pixelWidth() / 2, image->pixelHeight() / 2) : 0;
  }
  std::uint32_t colourAt(int index) const { return colourOf.at(backgrounds->nameAtIndex(index)); }

  ContentFixture content{DeviceProfile::phone35(1)};
  OffscreenHost host{DeviceProfile::phone35(1)};
  std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(Rect(0, 0, 320, 480));
  std::shared_ptr<RecordingTracker> tracker = std::make_shared<RecordingTracker>();
  std::map<std::string, std::uint32_t> colourOf;
  std::shared_ptr<ImageListController> backgrounds = std::make_shared<ImageListController>();
  std::shared_ptr<ImageSwapView> swap = std::make_shared<ImageSwapView>(Rect(0, 0, 320, 480));
};

}  // namespace

TEST_F(CompositionTest, IndexesWrapNeighboursAreWarmedAndAnEmptyListShowsNothing) {
  auto empty = std::make_shared<ImageListController>();
  EXPECT_EQ(empty->indexFromCircleIndex(3), ImageListController::kNotFound);
  empty->setSwapView(swap.get());
  empty->setCurIndex(2);
  empty->prepareToSave();
  EXPECT_EQ(empty->getContentItemAtIndex(0), nullptr);
  EXPECT_EQ(swap->image(), nullptr);
  empty->setSwapView(nullptr);

  for (auto [index, wrapped] : {std::pair{-1, 4}, {5, 0}, {12, 2}, {-6, 4}})
    EXPECT_EQ(backgrounds->indexFromCircleIndex(index), wrapped) << index;
  backgrounds->addContentItems(
      *ContentControl::Instance()->contentItemsForType(ContentTypeBackground));
  EXPECT_EQ(backgrounds->imagesCount(), 5);  // the same items are not added twice

  backgrounds->setSwapView(swap.get());
  ASSERT_NO_FATAL_FAILURE(settle());
  EXPECT_EQ(shownColour(*swap), colourAt(0));
  for (auto [index, warm] : {std::pair{1, true}, {4, true}, {2, false}})
    EXPECT_EQ(backgrounds->getContentItemAtIndex(index)->isBigImagePrepared(), warm) << index;
  long displayed = tracker->count("imageDisplayed|");
  backgrounds->setCurIndex(5);  // wraps to the current item: nothing happens
  EXPECT_EQ(tracker->count("imageDisplayed|"), displayed);
  backgrounds->setCurIndex(-1, ImageSwapView::kTransitionPushFromLeft);
  ASSERT_NO_FATAL_FAILURE(settle());
  EXPECT_EQ(shownColour(*swap), colourAt(4));
  EXPECT_EQ(tracker->calls.back(), "imageDisplayed|" + backgrounds->nameAtIndex(4) + "|0");
}

TEST_F(CompositionTest, RenderSizesFollowTheLayerOnScreenAndAPinchReRendersOnceItPauses) {
  EXPECT_EQ(backgrounds->prefSizeAtIndex(0), (Size{0, 0}));
  backgrounds->setSwapView(swap.get());
  ASSERT_NO_FATAL_FAILURE(settle());
  const double quarter = std::numbers::pi / 2;
  for (auto [transform, size] :
       {std::pair{AffineTransform::identity(), Size{320, 480}},
        {AffineTransform::makeScale(6.4, 6.4), Size{683, 1024}},
        {AffineTransform::makeTranslation(50, 9).scaled(6.4, 6.4).rotated(quarter),
         Size{683, 1024}},
        {AffineTransform::makeScale(0.01, 0.02), Size{10, 10}}}) {
    backgrounds->setImageTransform(transform);
    EXPECT_EQ(backgrounds->prefSizeAtIndex(0), size) << transform.a;
    EXPECT_EQ(backgrounds->prefSizeAtIndex(1), (Size{320, 480}));  // neighbours: the bounds
    EXPECT_EQ(swap->transform(), transform);
  }
  backgrounds->setImageTransform(AffineTransform::identity());
  ASSERT_NO_FATAL_FAILURE(settle());
  ASSERT_EQ(swap->image()->pixelWidth(), 320);

  // Two seconds of pinching from 1 to 1.2: no picture is made until the fingers rest.
  long displayed = tracker->count("imageDisplayed|");
  for (int step = 1; step <= 20; ++step) {
    backgrounds->setImageTransform(AffineTransform::makeScale(1 + step / 100.0, 1 + step / 100.0));
    host.advanceBy(0.1);
  }
  host.advanceBy(0.39);
  RunLoop::main().runPending();
  EXPECT_EQ(tracker->count("imageDisplayed|"), displayed);
  EXPECT_EQ(swap->image()->pixelWidth(), 320);
  host.advanceBy(0.02);
  ASSERT_TRUE(runMainLoopUntil([&] { return tracker->count("imageDisplayed|") > displayed; }));
  EXPECT_EQ(tracker->count("imageDisplayed|"), displayed + 1);
  EXPECT_EQ(swap->image()->pixelWidth(), 384);
}

TEST_F(CompositionTest, APictureArrivingForALeftItemOrUnderTheUsersPhotoIsDropped) {
  backgrounds->setSwapView(swap.get());
  ASSERT_NO_FATAL_FAILURE(settle());
  // Item 2 is not warm: the old picture leaves and the wheel turns over the layer.
  backgrounds->setCurIndex(2, ImageSwapView::kTransitionPushFromRight);
  EXPECT_EQ(swap->image(), nullptr);
  EXPECT_EQ(LoadingView::sharedView()->superview(), swap.get());
  backgrounds->setCurIndex(3, ImageSwapView::kTransitionPushFromRight);
  ASSERT_NO_FATAL_FAILURE(settle());
  EXPECT_EQ(shownColour(*swap), colourAt(3));
  EXPECT_EQ(tracker->count("imageDisplayed|" + backgrounds->nameAtIndex(2)), 0);
  EXPECT_EQ(LoadingView::sharedView()->superview(), nullptr);

  // The user's photo covers the list: neither a late picture nor browsing shows an item.
  ImageCache::Instance().cleanCache();
  backgrounds->setCurIndex(4, ImageSwapView::kTransitionFade);
  auto photo = ImageDecoder::decode(pictureBytes(30, 40, 0xFF808080));
  backgrounds->setOutOfListImage(photo, ImageSwapView::kTransitionNone);
  backgrounds->setCurIndex(0);
  ASSERT_NO_FATAL_FAILURE(settle());
  EXPECT_EQ(swap->image(), photo);
  backgrounds->setOutOfListImage(nullptr, ImageSwapView::kTransitionFade);
  ASSERT_NO_FATAL_FAILURE(settle());
  EXPECT_EQ(shownColour(*swap), colourAt(0));
}

TEST_F(CompositionTest, SwapsTransitionByCodeAndTheNewestPictureStaysOnScreen) {
  auto picture = [](std::uint32_t argb) { return ImageDecoder::decode(pictureBytes(4, 4, argb)); };
  auto first = picture(0xFFFF0000), second = picture(0xFF00FF00), third = picture(0xFF0000FF);
  swap->swapImage(first, ImageSwapView::kTransitionNone);
  EXPECT_TRUE(swap->layer().transitions().empty());
  swap->swapImage(second, ImageSwapView::kTransitionPushFromRight);
  const auto& running = swap->layer().transitions();
  ASSERT_EQ(running.size(), 1u);
  EXPECT_EQ(running.begin()->second.transition->subtype(), kCATransitionFromRight);
  // A picture that comes while the push runs replaces it and is the one left on screen.
  swap->swapImage(third, ImageSwapView::kTransitionPushFromLeft);
  EXPECT_EQ(running.begin()->second.transition->subtype(), kCATransitionFromLeft);
  host.advanceBy(1);
  EXPECT_TRUE(swap->layer().transitions().empty());
  EXPECT_EQ(swap->image(), third);
  EXPECT_FALSE(swap->curImageView().isHidden());
  swap->swapImage(first, ImageSwapView::kTransitionFade);
  EXPECT_EQ(swap->layer().transitions().begin()->second.transition->type(), kCATransitionFade);
  host.advanceBy(1);  // the transition holds the view until it ends

  // On the tall screen the pictures reach 88 points below the view.
  EXPECT_EQ(swap->curImageView().frame(), Rect(0, 0, 320, 480));
  testing_support::ScopedDeviceProfile tall(DeviceProfile::phoneTall());
  auto tallSwap = std::make_shared<ImageSwapView>(Rect(0, 0, 320, 480));
  EXPECT_EQ(tallSwap->curImageView().frame(), Rect(0, 0, 320, 568));
}

namespace {

// The editor's composition: a background, the clipart over it and an empty top/bottom frame
// list, in a screen of a navigation controller; saving goes to a temporary album.
class SavingTest : public CompositionTest {
 protected:
  SavingTest() {
    setSavedPhotosAlbumDirectory(album.file("Album"));
    delegate->navigation = std::make_shared<UINavigationController>(screen);
    UIApplication::sharedApplication().setDelegate(delegate);
    window->setRootViewController(delegate->navigation);
    screen->view()->addSubview(assetView);
    frames->addContentItems(*ContentControl::Instance()->contentItemsForType(ContentTypeClipart));
    for (auto& [list, view] :
         {std::pair{backgrounds, swap}, {frames, frameSwap}, {tbFrames, tbSwap}}) {
      assetView->addSubview(view);
      list->setSwapView(view.get());
    }
  }
  ~SavingTest() override { setSavedPhotosAlbumDirectory(std::nullopt); }
  // Saves, lets the save run, and answers the album's one picture once it is there.
  std::shared_ptr<Image> saveAndRead(const std::function<void()>& whileSheetShows = {}) {
    saver->saveImage();
    EXPECT_EQ(LoadingView::sharedView()->superview(), delegate->navigation->view().get());
    host.advanceBy(1);
    if (whileSheetShows) {
      whileSheetShows();
      host.advanceBy(1);  // the sheet slides away before its activity runs
    }
    std::filesystem::path folder = album.file("Album");
    std::shared_ptr<Image> saved;
    EXPECT_TRUE(runMainLoopUntil([&] {
      std::error_code ec;
      for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.path().extension() == ".jpg")  // not a file still being written
          saved = ImageDecoder::imageWithContentsOfFile(entry.path().string());
      return saved != nullptr;
    }));
    host.advanceBy(1);
    return saved;
  }
  const UIAlertView* shownAlert() const {
    for (const auto& view : window->subviews())
      if (auto* alert = dynamic_cast<const UIAlertView*>(view.get())) return alert;
    return nullptr;
  }

  testing_support::TemporaryDirectory album;
  std::shared_ptr<NavigationDelegate> delegate = std::make_shared<NavigationDelegate>();
  std::shared_ptr<UIViewController> screen = std::make_shared<UIViewController>();
  std::shared_ptr<UIView> assetView = std::make_shared<UIView>(Rect(0, 0, 320, 480));
  std::shared_ptr<ImageListController> frames = std::make_shared<ImageListController>();
  std::shared_ptr<ImageListController> tbFrames = std::make_shared<ImageListController>();
  std::shared_ptr<ImageSwapView> frameSwap = std::make_shared<ImageSwapView>(Rect(0, 0, 320, 480));
  std::shared_ptr<ImageSwapView> tbSwap = std::make_shared<ImageSwapView>(Rect(0, 0, 320, 480));
  std::shared_ptr<CompositionSaver> saver = std::make_shared<CompositionSaver>(screen, [this] {
    return CompositionSaver::Composition{assetView, backgrounds, frames, tbFrames};
  });
};

}  // namespace

TEST_F(SavingTest, TheShareSheetGetsTheCompositionAtTheScreensScaleOverBlack) {
  testing_support::ScopedScreenScale retina(2);
  ASSERT_NO_FATAL_FAILURE(settle());
  // The background moves right by 100 points: black shows where it was.
  backgrounds->setImageTransform(AffineTransform::makeTranslation(100, 0));
  tracker->calls.clear();
  auto saved = saveAndRead([&] {
    auto sheet = std::dynamic_pointer_cast<UIActivityViewController>(
        delegate->navigation->presentedViewController());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->excludedActivityTypes(), std::vector<std::string>{UIActivityTypePrint});
    EXPECT_EQ(LoadingView::sharedView()->superview(), nullptr);
    EXPECT_TRUE(sheet->performActivity(UIActivityTypeSaveToCameraRoll));
  });
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->pixelWidth(), 640);
  ASSERT_EQ(saved->pixelHeight(), 960);
  // Points (50, 20), (150, 20) and the middle, where the clipart covers the background.
  EXPECT_TRUE(testing_support::near(saved->bitmap().pixel(100, 40), 0xFF000000, 8));
  EXPECT_TRUE(testing_support::near(saved->bitmap().pixel(300, 40), colourAt(0), 8))
      << std::hex << saved->bitmap().pixel(300, 40);
  EXPECT_TRUE(testing_support::near(saved->bitmap().pixel(320, 480), 0xFF0000FF, 8));
  EXPECT_EQ(tracker->calls,
            (std::vector<std::string>{"saveImage||0", "imageUsed|clipart1|1",
                                      "imageUsed|" + backgrounds->nameAtIndex(0) + "|1",
                                      "share bar||0"}));
}

TEST_F(SavingTest, OlderSystemsSaveToTheAlbumAndSayHowItWent) {
  DeviceProfile old = DeviceProfile::current();
  old.systemVersion = "5.1";
  testing_support::ScopedDeviceProfile oldSystem(old);
  ASSERT_NO_FATAL_FAILURE(settle());
  backgrounds->setOutOfListImage(ImageDecoder::decode(pictureBytes(320, 480, 0xFF808080)), 0);
  tracker->calls.clear();
  auto saved = saveAndRead();
  ASSERT_TRUE(saved);
  EXPECT_TRUE(testing_support::near(saved->bitmap().pixel(10, 10), 0xFF808080, 8));
  EXPECT_EQ(tracker->count("userPhotoUsed||1"), 1);
  EXPECT_EQ(tracker->count("imageUsed|"), 1);  // the clipart's; the photo's list is left alone
  EXPECT_EQ(tracker->count("share bar"), 0);
  ASSERT_TRUE(runMainLoopUntil([&] { return shownAlert() != nullptr; }));
  const UIAlertView* alert = shownAlert();
  EXPECT_EQ(alert->title(), "_Loc_SuccessTitle");
  EXPECT_EQ(alert->message(), "_Loc_SuccessMessage");
  EXPECT_EQ(LoadingView::sharedView()->superview(), nullptr);
  const_cast<UIAlertView*>(alert)->removeFromSuperview();

  // An album that cannot be written: the alert says "Error" with the reason.
  testing_support::writeTextFile(album.file("file"), "x");
  setSavedPhotosAlbumDirectory(album.file("file/Album"));
  saver->saveImage();
  host.advanceBy(1);
  ASSERT_TRUE(runMainLoopUntil([&] { return shownAlert() != nullptr; }));
  EXPECT_EQ(shownAlert()->title(), "Error");
  EXPECT_FALSE(shownAlert()->message().empty());
}
