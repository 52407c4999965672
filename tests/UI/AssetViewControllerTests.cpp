// The editor on the offscreen host, over the sample pack synced once from the reference server:
// states and controls, the preview masks, gestures from real touches, the photo and the tour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>

#include "AppUI/AppUIClasses.h"
#include "AppUI/AssetViewController.h"
#include "AppUI/ImageItemCell.h"
#include "AppUI/LoadingView.h"
#include "GeneralTools/DispatchTools.h"
#include "GeneralTools/Localization.h"
#include "Graphics/ImageDecoder.h"
#include "Host/OffscreenHost.h"
#include "RecordingTracker.h"
#include "SyncedPack.h"
#include "UI/UIActivityViewController.h"
#include "UI/UIApplication.h"
#include "UI/UIImageWriteToSavedPhotosAlbum.h"
#include "UI/UINavigationController.h"
#include "UI/UIScreen.h"
#include "UI/UIWindow.h"

using namespace platform;
using namespace content_testing;
using testing_support::runMainLoopUntil;
using testing_support::TemporaryDirectory;
using Editor = AssetViewController;

namespace {

class EditorTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pack = new SyncedPack;
    AppUIClasses::registerAll();
  }
  static void TearDownTestSuite() { delete pack, pack = nullptr; }

  explicit EditorTest(DeviceProfile profile = DeviceProfile::phone35(2),
                      OffscreenHost::Options options = {})
      : host(profile, options) {
    // The tests read the built bundle: interface files, art and texts.
    Bundle::setMainBundlePath(std::string(PICTAVIA_RESOURCES_DIR));
    Tools::Instance().setDefaultBundle(Bundle::mainBundle());
    UIApplication::sharedApplication().reset();
    window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
    window->makeKeyAndVisible();
    Tools::Instance().setAnalyticsTracker(tracker);
    for (int type = 0; type < 4; ++type) setTourDone(type, true);
  }
  ~EditorTest() override {
    close();
    LoadingView::hide();
    UIImagePickerController::setPhotoLibraryDirectory(std::nullopt);
    Tools::Instance().setAnalyticsTracker(nullptr);
    UIApplication::sharedApplication().reset();
    Bundle::setMainBundlePath(pack->fixture.resourcePath(""));
  }
  static void setTourDone(int type, bool done) {
    DataSource::data().insert_or_assign("AssetHelpDisplayed" + std::to_string(type), Value(done));
  }
  // The editor of `type` pushed over a root screen, as the main screen opens it.
  void open(int type) {
    close();
    editor = std::make_shared<Editor>();
    editor->initWithNibName(std::nullopt, nullptr);
    editor->setContentType(type);
    navigation = std::make_shared<UINavigationController>(std::make_shared<UIViewController>());
    window->setRootViewController(navigation);
    navigation->pushViewController(editor, false);
    host.captureScreen();  // lays the views out, as the first frame drawn would
    settle();
  }
  // The editor leaves as the back button makes it leave.
  void close() {
    if (navigation) navigation->popToRootViewControllerAnimated(false);
  }
  void settle(double seconds = 1) {
    runMainLoopUntil([] { return DispatchTools::Instance().taskCount() == 0; }, 30);
    host.advanceBy(seconds);
  }
  UIButton& control(int tag) {
    return *dynamic_cast<UIButton*>(editor->controlsView->viewWithTag(tag));
  }
  // Two fingers about the middle of the screen, moved apart by `spread` and turned by `turn`.
  void pinch(double spread, double turn) {
    Point c{160, 220};
    host.touchDown({c.x - 40, c.y}, 0), host.touchDown({c.x + 40, c.y}, 1);
    for (int step = 1; step <= 10; ++step) {
      double r = 40 + spread * step / 10, a = turn * step / 10;
      host.advanceBy(0.02);
      host.touchMove({c.x - r * std::cos(a), c.y - r * std::sin(a)}, 0);
      host.touchMove({c.x + r * std::cos(a), c.y + r * std::sin(a)}, 1);
    }
    host.touchUp(0), host.touchUp(1);
  }
  // Screenshots of the grid, the tour, the editing state and the preview (kept in the folder
  // that PICTAVIA_EDITOR_SHOTS names, for a look).
  void lookAt(int type, const std::string& name);
  void swipe(double y, double dx) { host.drag({160, y}, {160 + dx, y}, 0.15, 5); }

  static inline SyncedPack* pack = nullptr;
  OffscreenHost host;
  std::shared_ptr<UIWindow> window;
  std::shared_ptr<RecordingTracker> tracker = std::make_shared<RecordingTracker>();
  std::shared_ptr<UINavigationController> navigation;
  std::shared_ptr<Editor> editor;
};

}  // namespace

TEST_F(EditorTest, OpensOnTheGridWhoseTappedItemStartsEditingAndTabsFollowTheState) {
  open(ContentTypePhotoFrame);
  auto frames = ContentControl::Instance()->contentItemsForType(ContentTypePhotoFrame);
  ASSERT_GE(frames->size(), 5u);
  EXPECT_EQ(editor->viewState(), Editor::kViewStateList);
  EXPECT_EQ(editor->selectionMode(), Editor::kSelectionModeFrames);
  EXPECT_FALSE(editor->listView->isHidden());
  EXPECT_EQ(editor->listView->itemsCount(), static_cast<int>(frames->size()));
  EXPECT_EQ(editor->listView->itemCellSize(), (Size{80, 120}));
  EXPECT_EQ(editor->backgroundsList()->getContentItemAtIndex(0)->name(),
            ContentControl::Instance()->emptyItem()->name());
  EXPECT_FALSE(control(Editor::kTagPhotoTab).isEnabled());
  EXPECT_FALSE(control(Editor::kTagPreviewButton).isEnabled());
  EXPECT_TRUE(control(Editor::kTagOverlayTab).isSelected());
  EXPECT_EQ(editor->cntPreviewMask->transform(), (AffineTransform{5, 0, 0, 5, 545, 670}));
  // A frame new on the server reaches the open grid.
  for (const char* variant : {".png", "_iph5.png", "_small.png"})
    std::filesystem::copy_file(pack->source.file(std::string("frame1") + variant),
                               pack->source.file(std::string("frame99") + variant));
  pack->publish();
  ASSERT_NO_FATAL_FAILURE(pack->update());
  EXPECT_EQ(editor->framesList()->imagesCount(), static_cast<int>(frames->size()) + 1);
  EXPECT_EQ(editor->listView->itemsCount(), editor->framesList()->imagesCount());

  auto cell = editor->listView->findVisibleCellWithIndex(2);
  ASSERT_NE(cell, nullptr);
  host.tapView(*cell);
  settle();
  EXPECT_EQ(editor->viewState(), Editor::kViewStateEditing);
  EXPECT_TRUE(editor->listView->isHidden());
  EXPECT_EQ(editor->framesList()->curIndex(), 2);
  EXPECT_TRUE(control(Editor::kTagPhotoTab).isEnabled());
  EXPECT_EQ(editor->controlsView->viewWithTag(Editor::kTagFramesModeView)->alpha(), 1);
  // The tab of the current mode toggles the grid; the background tab switches the list.
  host.tapView(control(Editor::kTagOverlayTab));
  EXPECT_EQ(editor->viewState(), Editor::kViewStateList);
  host.tapView(control(Editor::kTagOverlayTab));
  EXPECT_EQ(editor->viewState(), Editor::kViewStateEditing);
  host.tapView(control(Editor::kTagBackgroundTab));
  EXPECT_EQ(editor->selectionMode(), Editor::kSelectionModeBackground);
  EXPECT_EQ(tracker->calls.back(), "AssetViewController|selectionMode|background|0");
  // The first grid was reported at loading, before the editor was the visible screen.
  EXPECT_EQ(tracker->count("AssetViewController|viewState|list|0"), 1);

  // Leaving marks the type's items seen.
  navigation->popViewControllerAnimated(false);
  EXPECT_EQ(ContentControl::Instance()->newContentForType(ContentTypePhotoFrame), 0);

  open(ContentTypeBackground);
  EXPECT_EQ(editor->framesList(), nullptr);
  EXPECT_EQ(editor->selectionMode(), Editor::kSelectionModeBackground);
  EXPECT_FALSE(control(Editor::kTagOverlayTab).isEnabled());
  EXPECT_FALSE(control(Editor::kTagOverlayTab).isSelected());
}

TEST_F(EditorTest, PreviewShrinksTheLayersIntoTheContactCardAndRefusesTaps) {
  open(ContentTypeClipart);
  editor->setViewState(Editor::kViewStateEditing);
  editor->framesList()->setImageTransform(AffineTransform::makeScale(2, 2));
  host.tapView(control(Editor::kTagPreviewButton));
  EXPECT_EQ(editor->viewState(), Editor::kViewStatePreview);
  host.advanceBy(0.25);  // half-way: the card is fading in
  double now = RunLoop::main().now();
  EXPECT_NEAR(editor->cntPreviewMask->presentationAlpha(now), 0.5, 0.3);
  EXPECT_GT(editor->cntPreviewMask->presentationTransform(now).a, 1.2);
  host.advanceBy(0.3);
  EXPECT_EQ(editor->cntPreviewMask->transform(), AffineTransform::identity());
  EXPECT_EQ(editor->callPreviewMask->alpha(), 0);
  EXPECT_EQ(editor->bgSwapView->transform(), (AffineTransform{0.2, 0, 0, 0.2, -109, -134}));
  EXPECT_EQ(editor->frameSwapView->transform(), (AffineTransform{0.4, 0, 0, 0.4, -109, -134}));
  for (int tag : {4000, 4001, 4002, 4005}) EXPECT_FALSE(control(tag).isEnabled()) << tag;
  EXPECT_TRUE(control(Editor::kTagPreviewButton).isEnabled());
  auto bytes = [](const std::shared_ptr<Image>& image) {
    const Bitmap& b = image->bitmap();
    return std::vector<std::uint8_t>(b.row(0), b.row(0) + b.bytesPerRow() * b.height());
  };
  EXPECT_EQ(bytes(control(Editor::kTagPreviewButton).currentImage()),
            bytes(Tools::hiresImageNamed("btn_preview_tab_zoomp.png")));
  host.tap({160, 200}), host.advanceBy(0.1), host.tap({160, 200});
  settle();
  EXPECT_EQ(editor->framesList()->imageTransform(), AffineTransform::makeScale(2, 2));

  host.tapView(control(Editor::kTagPreviewButton));
  settle();
  EXPECT_EQ(editor->viewState(), Editor::kViewStateEditing);
  EXPECT_EQ(editor->bgSwapView->transform(), AffineTransform::identity());
  EXPECT_EQ(editor->callPreviewMask->alpha(), 1);
  EXPECT_EQ(editor->cntPreviewMask->alpha(), 0);
}

TEST_F(EditorTest, GesturesMoveTheSelectedLayerAndSwipesChangeItemsOrTheTopBottomFrame) {
  open(ContentTypePhotoFrame);
  editor->setViewState(Editor::kViewStateEditing);
  auto frames = editor->framesList();
  auto tb = editor->tbFramesList();
  // A one-finger stroke on an unmoved layer is a swipe: exactly one item on.
  swipe(220, -120);
  settle();
  EXPECT_EQ(frames->curIndex(), 1);
  swipe(220, 120);
  settle();
  EXPECT_EQ(frames->curIndex(), 0);
  swipe(40, -120);  // on the top strip: only the top/bottom frame
  settle();
  EXPECT_EQ(frames->curIndex(), 0);
  EXPECT_EQ(tb->curIndex(), 1);

  // Pinching apart and turning a quarter scales and turns the overlay only.
  pinch(40, std::numbers::pi / 2);
  AffineTransform t = frames->imageTransform();
  EXPECT_NEAR(std::hypot(t.a, t.b), 2, 0.15);
  EXPECT_NEAR(std::atan2(t.b, t.a), std::numbers::pi / 2, 0.1);
  EXPECT_TRUE(editor->backgroundsList()->imageTransform().isIdentity());
  // A moved layer: one finger now drags it, following the finger on screen.
  host.drag({160, 220}, {200, 250}, 0.3, 10);
  Point moved = frames->imageTransform().apply(Point{0, 0});
  EXPECT_NEAR(moved.x - t.tx, 40, 2);
  EXPECT_NEAR(moved.y - t.ty, 30, 2);
  EXPECT_EQ(frames->curIndex(), 0);

  // Double taps: back to the identity, then twice the size.
  host.tap({160, 220}), host.advanceBy(0.1), host.tap({160, 220});
  settle();
  EXPECT_TRUE(frames->imageTransform().isIdentity());
  host.tap({160, 220}), host.advanceBy(0.1), host.tap({160, 220});
  settle();
  EXPECT_EQ(frames->imageTransform(), AffineTransform::makeScale(2, 2));

  // A long press hides the controls; a tap brings them back.
  host.touchDown({160, 220});
  host.advanceBy(0.7);
  host.touchUp();
  EXPECT_EQ(editor->viewState(), Editor::kViewStateNoControls);
  EXPECT_TRUE(editor->controlsView->isHidden());
  host.tap({160, 220});
  settle();
  EXPECT_EQ(editor->viewState(), Editor::kViewStateEditing);
}

TEST_F(EditorTest, APhotoFromTheOnlySourceReplacesTheBackgroundUntilTheBackgroundTab) {
  TemporaryDirectory library;
  writeFile(library.file("photo.jpg"), pictureBytes(1600, 1200, 0xFF3366CC, true));
  UIImagePickerController::setPhotoLibraryDirectory(library.path());
  open(ContentTypeFaceEffect);
  host.tapView(*editor->listView->findVisibleCellWithIndex(0));
  host.tapView(control(Editor::kTagPhotoTab));  // the library only: no sheet
  settle();
  auto picker =
      std::dynamic_pointer_cast<UIImagePickerController>(navigation->presentedViewController());
  ASSERT_TRUE(picker && picker->pickFileAtIndex(0));
  settle();
  const auto& photo = editor->backgroundsList()->outOfListImage();
  ASSERT_NE(photo, nullptr);
  EXPECT_EQ(photo->scale(), 2);
  EXPECT_EQ(photo->size(), (Size{320, 240}));
  EXPECT_EQ(editor->bgSwapView->image(), photo);
  EXPECT_EQ(navigation->presentedViewController(), nullptr);
  EXPECT_EQ(tracker->count("SystemEvent|imagePicker|selected|0"), 1);
  EXPECT_EQ(editor->controlsView->viewWithTag(Editor::kTagNoPhotoView)->alpha(), 0);
  // In photo mode a one-finger drag moves the photo at once.
  host.drag({160, 220}, {160, 300}, 0.3, 10);
  EXPECT_GT(editor->backgroundsList()->imageTransform().ty, 50);

  host.tapView(control(Editor::kTagBackgroundTab));
  settle();
  EXPECT_FALSE(editor->backgroundsList()->haveOutOfListImage());
  EXPECT_TRUE(editor->backgroundsList()->imageTransform().isIdentity());
  EXPECT_EQ(editor->selectionMode(), Editor::kSelectionModeBackground);

  // With no source at all nothing opens.
  UIImagePickerController::setPhotoLibraryDirectory(library.file("missing"));
  host.tapView(control(Editor::kTagPhotoTab));
  settle();
  EXPECT_EQ(navigation->presentedViewController(), nullptr);
}

TEST_F(EditorTest, TheTourAppearsOnceAtTheFirstEditingStateStepsThroughAndHoldsTheSwipes) {
  auto visibleSteps = [&] {
    std::vector<int> shown;
    for (int tag : {4000, 4001, 4002, 4003, 4004, 4005})
      if (auto* step = editor->helpView->viewWithTag(tag); step && !step->isHidden())
        shown.push_back(tag);
    return shown;
  };
  setTourDone(ContentTypeClipart, false);
  open(ContentTypeClipart);
  ASSERT_NE(editor->helpView, nullptr);
  EXPECT_EQ(editor->helpView->superview(), nullptr);  // not over the grid
  editor->setViewState(Editor::kViewStateEditing);
  EXPECT_EQ(editor->helpView->superview(), editor->view().get());
  EXPECT_EQ(valueForKey(DataSource::data(), "AssetHelpDisplayed2").boolValue(), true);
  std::vector<std::vector<int>> steps;
  for (int i = 0; i < 5; ++i) {
    settle();
    steps.push_back(visibleSteps());
    if (editor->curHelpButton == Editor::kTagOverlayTab) {
      EXPECT_EQ(editor->helpLabelDown1->text(),
                Localization::Instance().localizationForKey("_Loc_HelpCliparts_Title"));
    }
    if (i == 0) {
      swipe(220, -120);  // refused while the tour shows
      EXPECT_EQ(editor->framesList()->curIndex(), 0);
    }
    editor->nextHelpButton();
  }
  EXPECT_EQ(steps, (std::vector<std::vector<int>>{{4003}, {4000}, {4001}, {4002}, {4005}}));
  settle();
  EXPECT_EQ(editor->helpView->superview(), nullptr);
  swipe(220, -120);
  settle();
  EXPECT_EQ(editor->framesList()->curIndex(), 1);

  // The background editor has no overlay step; the tour never comes back once shown.
  setTourDone(ContentTypeBackground, false);
  open(ContentTypeBackground);
  EXPECT_EQ(editor->helpView->viewWithTag(Editor::kTagHelpOverlayOnly), nullptr);
  editor->setViewState(Editor::kViewStateEditing);
  steps.clear();
  for (int i = 0; i < 4; ++i, editor->nextHelpButton()) steps.push_back(visibleSteps());
  EXPECT_EQ(steps, (std::vector<std::vector<int>>{{4003}, {4001}, {4002}, {4005}}));
  open(ContentTypeBackground);
  EXPECT_EQ(editor->helpView, nullptr);
}

// The tall layout reaches the bottom of its screen.
class TallEditorTest : public EditorTest {
 protected:
  TallEditorTest() : EditorTest(DeviceProfile::phoneTall()) {}
};

void shoot(OffscreenHost& host, const std::string& name) {
  auto image = host.captureScreen();
  ASSERT_NE(image, nullptr);
  if (const char* folder = std::getenv("PICTAVIA_EDITOR_SHOTS"))
    host.writeScreenshot(std::string(folder) + "/" + name + ".png");
  // The bar's middle, just above the bottom edge, is not the composition's black.
  int x = image->pixelWidth() / 2, y = image->pixelHeight() - 10;
  EXPECT_NE(image->bitmap().pixel(x, y) & 0xFFFFFF, 0u) << name;
}

void EditorTest::lookAt(int type, const std::string& name) {
  setTourDone(type, false);
  open(type);
  shoot(host, name + "-grid");
  host.tapView(*editor->listView->findVisibleCellWithIndex(1));
  settle();
  shoot(host, name + "-help");
  for (int step = 0; step < 4; ++step) editor->nextHelpButton();
  settle();
  shoot(host, name + "-gestures");
  editor->closeHelp();
  settle();
  shoot(host, name + "-editing");
  host.tapView(control(Editor::kTagPreviewButton));
  settle();
  shoot(host, name + "-preview");
}

TEST_F(EditorTest, LooksRightOnTheSmallPhone) {
  lookAt(ContentTypePhotoFrame, "phone35");
}

TEST_F(TallEditorTest, LooksRightOnTheTallPhone) {
  lookAt(ContentTypeFaceEffect, "tall");
  auto& screen = *editor->view();
  EXPECT_EQ(screen.convertRectToView(screen.bounds(), nullptr), (Rect{0, 20, 320, 548}));
}

// A person's whole session, in the photo-frames editor with the photo folder and in the
// face-effects editor with the camera: the saved picture has the overlays' opaque parts and
// the photo, moved as the gestures said, through their transparent ones.
class SessionTest : public EditorTest {
 protected:
  SessionTest()
      : EditorTest(DeviceProfile::phone35(2),
                   {"videotestsrc pattern=solid-color foreground-color=0xff20c040 ! "
                    "video/x-raw,width=640,height=480"}) {
    setSavedPhotosAlbumDirectory(album.file("Album"));
    writeFile(library.file("photo.jpg"), pictureBytes(640, 960, 0xFF20C040, true));
    UIImagePickerController::setPhotoLibraryDirectory(library.path());
  }
  ~SessionTest() override { setSavedPhotosAlbumDirectory(std::nullopt); }

  // Opens the editor, taps the first item and the photo tab, then the sheet's button.
  std::shared_ptr<UIImagePickerController> openAndChooseSource(int type, int button) {
    open(type);
    host.tapView(*editor->listView->findVisibleCellWithIndex(0));
    host.tapView(control(Editor::kTagPhotoTab));
    host.advanceBy(1);
    for (const auto& view : window->subviews())
      if (auto* sheet = dynamic_cast<UIActionSheet*>(view.get())) {
        EXPECT_EQ(sheet->numberOfButtons(), 3);
        host.tapView(*sheet->buttonAtIndex(button));
      }
    settle();
    return std::dynamic_pointer_cast<UIImagePickerController>(
        navigation->presentedViewController());
  }

  // Places the photo with a drag, a pinch inwards and a turn, looks at the preview, saves
  // through the share sheet and checks the album's picture every 20 points.
  void placePreviewSaveAndCheck() {
    ASSERT_EQ(editor->selectionMode(), Editor::kSelectionModePhoto);
    host.drag({160, 220}, {200, 230}, 0.3, 10);
    pinch(-16, 0.3);
    settle();
    AffineTransform placed = editor->backgroundsList()->imageTransform();
    EXPECT_NEAR(std::hypot(placed.a, placed.b), 0.6, 0.06);
    EXPECT_NEAR(std::atan2(placed.b, placed.a), 0.3, 0.05);
    for (int i = 0; i < 2; ++i) host.tapView(control(Editor::kTagPreviewButton)), settle();
    ASSERT_EQ(editor->bgSwapView->transform(), placed);

    auto tbFrame = editor->tbFrameSwapView->image(), overlay = editor->frameSwapView->image();
    Size photo = editor->bgSwapView->image()->size();
    double fit = std::min(320 / photo.width, 460 / photo.height);  // as the layer shows it
    photo = Size{photo.width * fit, photo.height * fit};
    host.tapView(control(Editor::kTagSaveButton));
    settle();
    auto sheet =
        std::dynamic_pointer_cast<UIActivityViewController>(navigation->presentedViewController());
    ASSERT_TRUE(sheet && sheet->performActivity(UIActivityTypeSaveToCameraRoll));
    host.advanceBy(1);
    std::shared_ptr<Image> saved;
    ASSERT_TRUE(runMainLoopUntil([&] {
      std::error_code ec;
      for (const auto& entry : std::filesystem::directory_iterator(album.file("Album"), ec))
        if (entry.path().extension() == ".jpg")
          saved = ImageDecoder::imageWithContentsOfFile(entry.path().string());
      return saved != nullptr;
    }));
    ASSERT_EQ(saved->pixelWidth(), 640);
    ASSERT_EQ(saved->pixelHeight(), 920);
    int opaque = 0, green = 0, black = 0;
    for (double y = 10; y < 460; y += 20) {
      for (double x = 10; x < 320; x += 20) {
        std::uint32_t shown = saved->bitmap().pixel(int(x * 2), int(y * 2)), expected;
        // Only where the layers are flat around the point: edges resample differently.
        auto top = flatPixel(*tbFrame, {x, y}), cover = flatPixel(*overlay, {x, y});
        if (!top || !cover || (*top >> 24 != 0 && *top >> 24 != 255)) continue;
        if (*top >> 24 == 255 || *cover >> 24 == 255) {
          expected = *top >> 24 == 255 ? *top : *cover, ++opaque;
        } else if (*cover >> 24 == 0) {
          Point p = placed.inverted().apply(Point{x - 160, y - 230});
          double outside =
              std::max(std::abs(p.x) - photo.width / 2, std::abs(p.y) - photo.height / 2);
          if (std::abs(outside) < 4) continue;  // too near the photo's edge to tell
          expected = outside < 0 ? 0xFF20C040 : 0xFF000000, ++(outside < 0 ? green : black);
        } else {
          continue;
        }
        EXPECT_TRUE(testing_support::near(shown, expected, 40))
            << x << "," << y << " " << std::hex << shown << " " << expected;
      }
    }
    EXPECT_GT(opaque, 20);
    EXPECT_GT(green, 10);
    EXPECT_GT(black, 10);
  }
  // The pixel of `image` shown at `point` of a 320 x 460 layer that fits it keeping its shape,
  // when the pixels 3 points around it are near it.
  static std::optional<std::uint32_t> flatPixel(const Image& image, Point point) {
    auto at = [&](double dx, double dy) -> std::uint32_t {
      Size size = image.size();
      double s = std::min(320 / size.width, 460 / size.height);
      double x = (point.x + dx - (320 - size.width * s) / 2) / s,
             y = (point.y + dy - (460 - size.height * s) / 2) / s;
      if (x < 0 || y < 0 || x >= size.width || y >= size.height) return 0;
      return image.bitmap().pixel(int(x * image.scale()), int(y * image.scale()));
    };
    for (auto [dx, dy] : {std::pair{-3, 0}, {3, 0}, {0, -3}, {0, 3}})
      if (!testing_support::near(at(dx, dy), at(0, 0), 12)) return std::nullopt;
    return at(0, 0);
  }

  TemporaryDirectory album, library;
};

TEST_F(SessionTest, FramesWithAPhotoFromTheFolderAndFaceEffectsWithTheCamera) {
  auto picker = openAndChooseSource(ContentTypePhotoFrame, 0);
  ASSERT_TRUE(picker && picker->pickFileAtIndex(0));
  settle();
  ASSERT_NO_FATAL_FAILURE(placePreviewSaveAndCheck());

  std::filesystem::remove_all(album.file("Album"));
  picker = openAndChooseSource(ContentTypeFaceEffect, 1);
  ASSERT_TRUE(picker);
  EXPECT_EQ(picker->sourceType(), UIImagePickerControllerSourceType::Camera);
  ASSERT_TRUE(runMainLoopUntil([&] { return picker->cameraFrame() != nullptr; }, 20));
  ASSERT_TRUE(picker->takePicture());
  settle();
  ASSERT_NO_FATAL_FAILURE(placePreviewSaveAndCheck());
}
