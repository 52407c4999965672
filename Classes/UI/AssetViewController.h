#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "AppUI/CompositionSaver.h"
#include "AppUI/ImageListController.h"
#include "AppUI/ImageSwapView.h"
#include "AppUI/ItemsViewDataSource.h"
#include "AppUI/ItemsViewDelegate.h"
#include "AppUI/UIViewControllerBase.h"
#include "AppUI/VerticalItemsView.h"
#include "UI/UIActionSheet.h"
#include "UI/UIGestureRecognizerDelegate.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIImageView.h"
#include "UI/UILabel.h"

// The editor: the composition of a background or the user's photo, an overlay (frame, clipart
// or face effect) and a top/bottom frame, each a picture list shown by its swap view, under a
// bar of controls, the catalogue grid, the two preview masks and a first-use help tour. The
// user picks layers, browses items by swiping or in the grid, moves, scales and turns the
// selected layer with gestures, previews it as a contact picture and saves it.
class AssetViewController : public UIViewControllerBase,
                            public ItemsViewDataSource,
                            public ItemsViewDelegate,
                            public platform::UIGestureRecognizerDelegate,
                            public platform::UIActionSheetDelegate,
                            public platform::UIImagePickerControllerDelegate {
 public:
  enum ViewState : std::int32_t {
    kViewStateInitial = 0,
    kViewStateEditing = 1,
    kViewStatePreview = 2,
    kViewStateNoControls = 3,
    kViewStateList = 4,
  };
  enum SelectionMode : std::int32_t {
    kSelectionModeBackground = 0,
    kSelectionModePhoto = 1,
    kSelectionModeFrames = 2,
  };
  // Tags of the controls inside controlsView.
  static constexpr int kTagOverlayTab = 4000;
  static constexpr int kTagBackgroundTab = 4001;
  static constexpr int kTagPhotoTab = 4002;
  static constexpr int kTagPreviewButton = 4003;
  static constexpr int kTagSaveButton = 4005;
  static constexpr int kTagFramesModeView = 5000;
  static constexpr int kTagNoPhotoView = 5001;
  // The help tour's view that the background editor removes.
  static constexpr int kTagHelpOverlayOnly = 7000;
  static constexpr double kMaskAnimationDuration = 0.5;
  static constexpr double kShowHideDuration = 0.2;
  static constexpr double kDoubleTapZoomDuration = 0.3;
  static constexpr double kHelpAnimationDuration = 0.5;
  // The user's photo is reduced to fit this size in points before it enters the composition.
  static constexpr double kPhotoMaxWidth = 320;
  static constexpr double kPhotoMaxHeight = 480;

  AssetViewController();
  ~AssetViewController() override;
  std::string className() const override { return "AssetViewController"; }
  static void registerClass();

  // Before the screen is shown: fills new lists for content type 0 to 3.
  void setContentType(std::int32_t type);
  std::int32_t contentType() const { return _contentType; }

  std::int32_t viewState() const { return _viewState; }
  void setViewState(std::int32_t state) { setViewState(state, false); }
  void setViewState(std::int32_t state, bool animated);
  std::int32_t selectionMode() const { return _selectionMode; }
  void setSelectionMode(std::int32_t mode);
  void updateControlsAnimated(bool animated);
  void updateStateAnimated(bool animated);
  void recursiveUpdateState(platform::UIView& view, bool animated);
  static void showView(platform::UIView& view, bool animated);
  static void hideView(platform::UIView& view, bool animated);

  void togglePreview();
  void toggleControlsView();
  void setImagesMode();
  void setPhotoMode();
  void setFramesMode();
  void saveImage();
  void nextImage();
  void prevImage();
  void nextTBFrame();
  void prevTBFrame();

  // The list that gestures act on: the overlay list in mode 2, else the background list.
  const std::shared_ptr<ImageListController>& currentController() const;
  // The list the grid shows: backgrounds in mode 0, the overlay list in mode 2, none in mode 1.
  std::shared_ptr<ImageListController> curImageListController() const;
  // New catalogue content: the lists take the new items, a loading page that can now show
  // its picture shows it.
  void updateLists();
  const std::shared_ptr<ImageListController>& backgroundsList() const { return _ctlBackgounds; }
  const std::shared_ptr<ImageListController>& framesList() const { return _ctlFrames; }
  const std::shared_ptr<ImageListController>& tbFramesList() const { return _ctlTBFrames; }

  // The grid.
  std::int32_t itemsCountInItemsView(ItemsView& itemsView) override;
  std::shared_ptr<ItemCell> cellForItemsView(ItemsView& itemsView, std::int32_t index) override;
  platform::Size cellSizeInItemsView(ItemsView& itemsView) override;
  void itemActionInItemsView(ItemsView& itemsView, std::int32_t index) override;

  // Gestures.
  void setupGuestureRecognizers();
  void dragImage(platform::UIGestureRecognizer& recognizer);
  void zoomImage(platform::UIGestureRecognizer& recognizer);
  void rotateImage(platform::UIGestureRecognizer& recognizer);
  void longPressRecognized(platform::UIGestureRecognizer& recognizer);
  void singleTapGRRecognized(platform::UIGestureRecognizer& recognizer);
  void doubleTapGRRecognized(platform::UIGestureRecognizer& recognizer);
  void swipeLeftRecognized(platform::UIGestureRecognizer& recognizer);
  void swipeRightRecognized(platform::UIGestureRecognizer& recognizer);
  bool gestureRecognizerShouldBegin(platform::UIGestureRecognizer& recognizer) override;
  bool gestureRecognizerShouldReceiveTouch(platform::UIGestureRecognizer& recognizer,
                                           platform::UITouch& touch) override;
  bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
      platform::UIGestureRecognizer&, platform::UIGestureRecognizer&) override {
    return true;
  }
  static bool isMoveGestureRecognizer(const platform::UIGestureRecognizer& recognizer);

  // The user's photo.
  void showPhotoActionSheet();
  void actionSheetDidDismissWithButtonIndex(platform::UIActionSheet& sheet,
                                            int buttonIndex) override;
  void getPhotoFromSource(platform::UIImagePickerControllerSourceType source);
  void getPhotoFromSourceDelayed(platform::UIImagePickerControllerSourceType source);
  void imagePickerControllerDidFinishPickingMediaWithInfo(
      platform::UIImagePickerController& picker,
      const platform::UIImagePickerMediaInfo& info) override;
  void imagePickerControllerDidCancel(platform::UIImagePickerController& picker) override;
  void animatedPresentModalViewController(std::shared_ptr<platform::UIViewController> controller);
  // The picture as it enters the composition: at the screen's scale, its orientation kept,
  // reduced to fit kPhotoMaxWidth x kPhotoMaxHeight.
  static std::shared_ptr<platform::Image> photoForComposition(
      const std::shared_ptr<platform::Image>& picked);

  // The help tour.
  std::string helpDisplayedKey() const;
  bool isHelpDisplayed() const;
  void updateHelpInfoAnimated(bool animated);
  void nextHelpButton();
  void closeHelp();

  // Screen life.
  void loadView() override;
  void registerOutlets(platform::OutletRegistry& outlets) override;
  void registerActions(platform::ActionRegistry& actions) override;
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  void viewDidUnload();
  void releaseOutlets();

  // The help tour's views; absent when the tour was not loaded.
  std::int32_t curHelpButton = 0;
  std::shared_ptr<platform::UIView> helpView;
  std::shared_ptr<platform::UIView> helpScrollersView;
  std::shared_ptr<platform::UIView> helpUpScrollView;
  std::shared_ptr<platform::UIView> helpGesturesView;
  std::shared_ptr<platform::UIImageView> helpTextBaloonDown1;
  std::shared_ptr<platform::UIImageView> helpTextBaloonUp;
  std::shared_ptr<platform::UILabel> helpLabelDown1;
  std::shared_ptr<platform::UILabel> helpLabelDown2;
  std::shared_ptr<platform::UILabel> helpLabelUp;
  std::shared_ptr<platform::UIImageView> helpFrameImage;

  // The editor's views.
  std::shared_ptr<platform::UIView> controlsView;
  std::shared_ptr<platform::UIView> assetView;
  std::shared_ptr<platform::UIView> tbTopSwipeView;
  std::shared_ptr<platform::UIView> tbBottomSwipeView;
  std::shared_ptr<platform::UIImageView> callPreviewMask;
  std::shared_ptr<platform::UIImageView> cntPreviewMask;
  std::shared_ptr<ImageSwapView> bgSwapView;
  std::shared_ptr<ImageSwapView> frameSwapView;
  std::shared_ptr<ImageSwapView> tbFrameSwapView;
  std::shared_ptr<VerticalItemsView> listView;

 private:
  std::shared_ptr<AssetViewController> self();
  // The list that pan, pinch and rotation move.
  const std::shared_ptr<ImageListController>& gestureTarget() const { return currentController(); }
  bool isLayerLoading() const;
  void updateMasksAnimated(bool animated);
  void updateButton(platform::UIButton& button);
  void prepareHelp();
  void showHelpIfNeeded();
  void changeItem(bool forward, platform::UIGestureRecognizer& recognizer);
  void finishPicker(platform::UIImagePickerController& picker);
  void animateTransform(ImageListController& list, const platform::AffineTransform& transform);

  std::shared_ptr<ImageListController> _ctlBackgounds;
  std::shared_ptr<ImageListController> _ctlFrames;
  std::shared_ptr<ImageListController> _ctlTBFrames;
  std::int32_t _selectionMode = kSelectionModeBackground;
  std::int32_t _contentType = 0;
  std::int32_t _viewState = kViewStateInitial;
  std::shared_ptr<platform::UIImagePickerController> _picker;
  std::shared_ptr<CompositionSaver> _saver;
};
