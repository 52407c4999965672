#include "AppUI/AssetViewController.h"

#include <cmath>

#include "AppUI/ImageItemCell.h"
#include "AppUI/UIItems.h"
#include "Content/ContentControl.h"
#include "Foundation/NotificationCenter.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "UI/StretchableImage.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UINavigationController.h"
#include "UI/ViewControllerRegistry.h"

using namespace platform;

namespace {

constexpr double kTallScreenHeight = 548;

std::optional<std::string> viewStateLabel(std::int32_t state) {
  switch (state) {
    case AssetViewController::kViewStatePreview:
      return "preview";
    case AssetViewController::kViewStateNoControls:
      return "nocontrols";
    case AssetViewController::kViewStateList:
      return "list";
    default:
      return std::nullopt;
  }
}

// The overlay tab's pictures (normal, selected, disabled) and picture insets by content type.
struct OverlayTabLook {
  const char* normal;
  const char* selected;
  const char* disabled;
  EdgeInsets insets;
};

OverlayTabLook overlayTabLook(std::int32_t contentType) {
  switch (contentType) {
    case ContentTypeClipart:
      return {"btn_preview_tab_art.png",
              "btn_preview_tab_art_hl.png",
              "btn_preview_tab_art_unactiv.png",
              {0, 13, 3, 0}};
    case ContentTypeFaceEffect:
      return {"btn_preview_tab_face.png",
              "btn_preview_tab_face_hl.png",
              "btn_preview_tab_face_unactiv.png",
              {0, 12, 8, 0}};
    default:
      return {"btn_preview_tab_frame.png",
              "btn_preview_tab_frame_hl.png",
              "btn_preview_tab_frame_unactiv.png",
              {0, 10, 7, 0}};
  }
}

std::vector<std::shared_ptr<ContentItem>> itemsOfType(ContentType type) {
  return ContentControl::Instance()->contentItemsForType(type).value_or(
      std::vector<std::shared_ptr<ContentItem>>{});
}

}  // namespace

AssetViewController::AssetViewController() = default;

AssetViewController::~AssetViewController() {
  NotificationCenter::defaultCenter().removeObserver(this);
  releaseOutlets();
}

void AssetViewController::registerClass() {
  ViewControllerRegistry::registerClass("AssetViewController",
                                        [] { return std::make_shared<AssetViewController>(); });
}

std::shared_ptr<AssetViewController> AssetViewController::self() {
  return std::static_pointer_cast<AssetViewController>(shared_from_this());
}

void AssetViewController::setContentType(std::int32_t type) {
  _ctlBackgounds = std::make_shared<ImageListController>();
  _ctlTBFrames = std::make_shared<ImageListController>();
  _ctlFrames = std::make_shared<ImageListController>();
  _contentType = type;
  if (type >= ContentTypePhotoFrame && type <= ContentTypeFaceEffect) {
    setSelectionMode(kSelectionModeFrames);
    if (auto empty = ContentControl::Instance()->emptyItem()) _ctlBackgounds->addContentItem(empty);
    _ctlBackgounds->addContentItems(itemsOfType(ContentTypeBackground));
    _ctlFrames->addContentItems(itemsOfType(static_cast<ContentType>(type)));
  } else {
    _ctlBackgounds->addContentItems(itemsOfType(ContentTypeBackground));
    _ctlFrames.reset();
  }
  _ctlTBFrames->addContentItems(itemsOfType(ContentTypeTBFrame));
}

void AssetViewController::loadView() {
  // The tall screen has a layout of its own where the bar and the grid sit lower.
  if (!nibName() && Tools::isIPhone5Screen()) {
    auto bundle = nibBundle() ? nibBundle() : Bundle::mainBundle();
    if (bundle && bundle->pathForResource("AssetViewController_iphone5", "ui"))
      initWithNibName("AssetViewController_iphone5", nibBundle());
  }
  UIViewControllerBase::loadView();
}

void AssetViewController::registerOutlets(OutletRegistry& outlets) {
  UIViewControllerBase::registerOutlets(outlets);
  outlets.add("controlsView", controlsView);
  outlets.add("assetView", assetView);
  outlets.add("tbTopSwipeView", tbTopSwipeView);
  outlets.add("tbBottomSwipeView", tbBottomSwipeView);
  outlets.add("callPreviewMask", callPreviewMask);
  outlets.add("cntPreviewMask", cntPreviewMask);
  outlets.add("bgSwapView", bgSwapView);
  outlets.add("frameSwapView", frameSwapView);
  outlets.add("tbFrameSwapView", tbFrameSwapView);
  outlets.add("listView", listView);
  outlets.add("helpView", helpView);
  outlets.add("helpScrollersView", helpScrollersView);
  outlets.add("helpUpScrollView", helpUpScrollView);
  outlets.add("helpGesturesView", helpGesturesView);
  outlets.add("helpTextBaloonDown1", helpTextBaloonDown1);
  outlets.add("helpTextBaloonUp", helpTextBaloonUp);
  outlets.add("helpLabelDown1", helpLabelDown1);
  outlets.add("helpLabelDown2", helpLabelDown2);
  outlets.add("helpLabelUp", helpLabelUp);
  outlets.add("helpFrameImage", helpFrameImage);
}

void AssetViewController::registerActions(ActionRegistry& actions) {
  UIViewControllerBase::registerActions(actions);
  actions.add("togglePreview", [this](UIControl&) { togglePreview(); });
  actions.add("toggleControlsView", [this](UIControl&) { toggleControlsView(); });
  actions.add("setImagesMode", [this](UIControl&) { setImagesMode(); });
  actions.add("setPhotoMode", [this](UIControl&) { setPhotoMode(); });
  actions.add("setFramesMode", [this](UIControl&) { setFramesMode(); });
  actions.add("saveImage", [this](UIControl&) { saveImage(); });
  actions.add("nextHelpButton", [this](UIControl&) { nextHelpButton(); });
  actions.add("closeHelp", [this](UIControl&) { closeHelp(); });
}

void AssetViewController::viewDidLoad() {
  UIViewControllerBase::viewDidLoad();
  if (!_ctlBackgounds) setContentType(_contentType);
  if (Tools::isIPhone5Screen()) view()->setFrame(Rect(0, 20, 320, kTallScreenHeight));
  Localization::localizeView(*view());
  UIItems::configureViews(*view());
  if (callPreviewMask && callPreviewMask->image()) {
    const auto& mask = callPreviewMask->image();
    callPreviewMask->setImage(StretchableImage::stretchableImageWithLeftCapWidth(
        mask, 0, static_cast<int>(std::lround(mask->size().height / 2))));
  }
  if (cntPreviewMask && cntPreviewMask->image()) {
    const auto& mask = cntPreviewMask->image();
    cntPreviewMask->setImage(StretchableImage::stretchableImageWithLeftCapWidth(
        mask, 0, static_cast<int>(mask->size().height) - 1));
  }
  if (!isHelpDisplayed()) prepareHelp();
  updateControlsAnimated(false);
  _ctlBackgounds->setSwapView(bgSwapView.get());
  if (_ctlFrames) _ctlFrames->setSwapView(frameSwapView.get());
  _ctlTBFrames->setSwapView(tbFrameSwapView.get());
  std::int32_t state = _viewState;
  _viewState = kViewStateInitial;
  setViewState(state != kViewStateInitial ? state : kViewStateList);
  setupGuestureRecognizers();
  if (listView) {
    listView->setItemsViewDataSource(std::static_pointer_cast<ItemsViewDataSource>(self()));
    listView->setItemsViewDelegate(std::static_pointer_cast<ItemsViewDelegate>(self()));
    listView->reloadData();
  }
  std::weak_ptr<AssetViewController> weak = self();
  _saver = std::make_shared<CompositionSaver>(weak, [weak] {
    auto editor = weak.lock();
    if (!editor) return CompositionSaver::Composition{};
    return CompositionSaver::Composition{editor->assetView, editor->_ctlBackgounds,
                                         editor->_ctlFrames, editor->_ctlTBFrames};
  });
}

void AssetViewController::viewWillAppear(bool animated) {
  UIViewControllerBase::viewWillAppear(animated);
  if (UINavigationController* navigation = navigationController())
    navigation->setNavigationBarHidden(true, false);
  auto& application = UIApplication::sharedApplication();
  application.setStatusBarStyle(UIStatusBarStyle::BlackTranslucent);
  application.setStatusBarHidden(false, UIStatusBarAnimation::Slide);
  NotificationCenter::defaultCenter().addObserver(
      this, ContentControl::kContentControlHasNewContent, nullptr,
      [this](const Notification&) { updateLists(); });
}

void AssetViewController::viewWillDisappear(bool animated) {
  UIViewControllerBase::viewWillDisappear(animated);
  NotificationCenter::defaultCenter().removeObserver(this);
  ContentControl::Instance()->setAllConetnViewedForType(static_cast<ContentType>(_contentType));
}

void AssetViewController::viewDidUnload() {
  releaseOutlets();
}

void AssetViewController::releaseOutlets() {
  for (const auto& list : {_ctlBackgounds, _ctlFrames, _ctlTBFrames})
    if (list) list->setSwapView(nullptr);
  controlsView.reset();
  assetView.reset();
  tbTopSwipeView.reset();
  tbBottomSwipeView.reset();
  callPreviewMask.reset();
  cntPreviewMask.reset();
  bgSwapView.reset();
  frameSwapView.reset();
  tbFrameSwapView.reset();
  listView.reset();
  helpView.reset();
  helpScrollersView.reset();
  helpUpScrollView.reset();
  helpGesturesView.reset();
  helpTextBaloonDown1.reset();
  helpTextBaloonUp.reset();
  helpLabelDown1.reset();
  helpLabelDown2.reset();
  helpLabelUp.reset();
  helpFrameImage.reset();
}

// State

void AssetViewController::setViewState(std::int32_t state, bool animated) {
  if (state == _viewState) return;
  _viewState = state;
  Tools::Instance().eventHappened("viewState", viewStateLabel(state), 0);
  updateControlsAnimated(animated);
}

void AssetViewController::updateControlsAnimated(bool animated) {
  updateStateAnimated(animated);
  if (controlsView) controlsView->setHidden(_viewState == kViewStateNoControls);
  if (listView) {
    if (_viewState == kViewStateList) listView->reloadData();
    listView->setHidden(_viewState != kViewStateList);
  }
  if (_viewState == kViewStateEditing) showHelpIfNeeded();
  updateMasksAnimated(animated);
}

void AssetViewController::updateStateAnimated(bool animated) {
  if (controlsView) recursiveUpdateState(*controlsView, animated);
}

void AssetViewController::updateMasksAnimated(bool animated) {
  const bool tall = Tools::isIPhone5Screen();
  if (_viewState == kViewStatePreview) {
    if (animated && cntPreviewMask) {
      const double s = 64.0 / 13.0;
      cntPreviewMask->setAlpha(0);
      cntPreviewMask->setTransform(AffineTransform{s, 0, 0, s, 110 * s, 130 * s});
    }
    // The composition shrinks into the contact card's window.
    const AffineTransform shrink{0.2, 0, 0, 0.2, -109, tall ? -164.0 : -134.0};
    auto change = [this, shrink] {
      if (cntPreviewMask) {
        cntPreviewMask->setAlpha(1);
        cntPreviewMask->setTransform(AffineTransform::identity());
      }
      if (callPreviewMask) callPreviewMask->setAlpha(0);
      for (const auto& list : {_ctlBackgounds, _ctlFrames, _ctlTBFrames})
        if (list)
          list->setImageTempTransform(AffineTransform::concat(list->imageTransform(), shrink));
    };
    animated ? UIView::animateWithDuration(kMaskAnimationDuration, change) : change();
    return;
  }
  const AffineTransform grown{5, 0, 0, 5, 545, tall ? 820.0 : 670.0};
  auto change = [this, grown] {
    if (cntPreviewMask) cntPreviewMask->setAlpha(0);
    if (callPreviewMask) callPreviewMask->setAlpha(1);
    for (const auto& list : {_ctlBackgounds, _ctlFrames, _ctlTBFrames})
      if (list) list->resetImageTempTransform();
    if (cntPreviewMask) cntPreviewMask->setTransform(grown);
  };
  animated ? UIView::animateWithDuration(kMaskAnimationDuration, change) : change();
}

void AssetViewController::showView(UIView& view, bool animated) {
  if (view.alpha() == 1) return;
  animated ? UIView::animateWithDuration(kShowHideDuration, [&view] { view.setAlpha(1); })
           : view.setAlpha(1);
}

void AssetViewController::hideView(UIView& view, bool animated) {
  if (view.alpha() == 0) return;
  animated ? UIView::animateWithDuration(kShowHideDuration, [&view] { view.setAlpha(0); })
           : view.setAlpha(0);
}

void AssetViewController::recursiveUpdateState(UIView& view, bool animated) {
  if (view.tag() == kTagFramesModeView) {
    bool shown = _selectionMode == kSelectionModeFrames && _viewState != kViewStatePreview;
    shown ? showView(view, animated) : hideView(view, animated);
  } else if (view.tag() == kTagNoPhotoView) {
    bool hidden =
        _viewState == kViewStatePreview || (_selectionMode == kSelectionModePhoto &&
                                            _ctlBackgounds && _ctlBackgounds->haveOutOfListImage());
    hidden ? hideView(view, animated) : showView(view, animated);
  }
  auto* button = dynamic_cast<UIButton*>(&view);
  if (!button) {
    for (const auto& child : std::vector<std::shared_ptr<UIView>>(view.subviews()))
      recursiveUpdateState(*child, true);
    return;
  }
  updateButton(*button);
}

void AssetViewController::updateButton(UIButton& button) {
  const bool preview = _viewState == kViewStatePreview, list = _viewState == kViewStateList;
  auto apply = [&button](bool enabled, bool selected) {
    button.setEnabled(enabled);
    button.setSelected(enabled && selected);
  };
  switch (button.tag()) {
    case kTagOverlayTab: {
      apply(_ctlFrames && !preview, _selectionMode == kSelectionModeFrames);
      OverlayTabLook look = overlayTabLook(_contentType);
      button.setImage(Tools::hiresImageNamed(look.normal), UIControlStateNormal);
      button.setImage(Tools::hiresImageNamed(look.selected), UIControlStateSelected);
      button.setImage(Tools::hiresImageNamed(look.disabled), UIControlStateDisabled);
      button.setImageEdgeInsets(look.insets);
      break;
    }
    case kTagBackgroundTab:
      apply(!preview, _selectionMode == kSelectionModeBackground);
      break;
    case kTagPhotoTab:
      apply(!preview && !list, _selectionMode == kSelectionModePhoto);
      break;
    case kTagPreviewButton:
      button.setEnabled(!list);
      button.setImage(Tools::hiresImageNamed(preview ? "btn_preview_tab_zoomp.png"
                                                     : "btn_preview_tab_zoomm.png"),
                      UIControlStateNormal);
      break;
    case kTagSaveButton:
      button.setEnabled(!preview && !list);
      break;
    default:
      break;
  }
}

void AssetViewController::setSelectionMode(std::int32_t mode) {
  if (mode != _selectionMode) {
    _selectionMode = mode;
    auto control = ContentControl::Instance();
    if (mode == kSelectionModeBackground) {
      control->setBackgroundsMode();
      Tools::Instance().eventHappened("selectionMode", "background", 0);
    } else if (mode == kSelectionModeFrames) {
      if (_contentType == ContentTypePhotoFrame) control->setPhotoFramesMode();
      if (_contentType == ContentTypeClipart) control->setClipartsMode();
      if (_contentType == ContentTypeFaceEffect) control->setFaceEffectsMode();
      Tools::Instance().eventHappened("selectionMode", "frames", 0);
    } else {
      Tools::Instance().eventHappened("selectionMode", "photo", 0);
    }
    if (_viewState == kViewStateList && listView) listView->reloadData();
    updateStateAnimated(true);
  } else if (mode != kSelectionModePhoto) {
    setViewState(_viewState == kViewStateList ? kViewStateEditing : kViewStateList, true);
  }
}

// Control actions

void AssetViewController::setImagesMode() {
  if (_ctlBackgounds && _ctlBackgounds->haveOutOfListImage()) {
    _ctlBackgounds->setImageTransform(AffineTransform::identity());
    _ctlBackgounds->setOutOfListImage(nullptr, ImageSwapView::kTransitionFade);
  }
  setSelectionMode(kSelectionModeBackground);
}

void AssetViewController::setPhotoMode() {
  if (!_ctlBackgounds || !_ctlBackgounds->haveOutOfListImage()) {
    if (_viewState == kViewStateList) setViewState(kViewStateEditing, false);
    showPhotoActionSheet();
  } else if (_selectionMode != kSelectionModePhoto) {
    setSelectionMode(kSelectionModePhoto);
  } else {
    showPhotoActionSheet();
  }
}

void AssetViewController::setFramesMode() {
  setSelectionMode(kSelectionModeFrames);
}

void AssetViewController::togglePreview() {
  setViewState(_viewState == kViewStatePreview ? kViewStateEditing : kViewStatePreview, true);
}

void AssetViewController::toggleControlsView() {
  setViewState(_viewState == kViewStateNoControls ? kViewStateEditing : kViewStateNoControls, true);
}

void AssetViewController::saveImage() {
  if (_saver) _saver->saveImage();
}

void AssetViewController::nextImage() {
  if (_selectionMode == kSelectionModePhoto) return;
  const auto& list = currentController();
  if (!list) return;
  list->setImageTransform(AffineTransform::identity());
  list->setCurIndex(std::int64_t{list->curIndex()} + 1, ImageSwapView::kTransitionPushFromRight);
}

void AssetViewController::prevImage() {
  if (_selectionMode == kSelectionModePhoto) return;
  const auto& list = currentController();
  if (!list) return;
  list->setImageTransform(AffineTransform::identity());
  list->setCurIndex(std::int64_t{list->curIndex()} - 1, ImageSwapView::kTransitionPushFromLeft);
}

void AssetViewController::nextTBFrame() {
  if (_ctlTBFrames)
    _ctlTBFrames->setCurIndex(std::int64_t{_ctlTBFrames->curIndex()} + 1,
                              ImageSwapView::kTransitionPushFromRight);
}

void AssetViewController::prevTBFrame() {
  if (_ctlTBFrames)
    _ctlTBFrames->setCurIndex(std::int64_t{_ctlTBFrames->curIndex()} - 1,
                              ImageSwapView::kTransitionPushFromLeft);
}

// Lists

const std::shared_ptr<ImageListController>& AssetViewController::currentController() const {
  return _selectionMode == kSelectionModeFrames ? _ctlFrames : _ctlBackgounds;
}

std::shared_ptr<ImageListController> AssetViewController::curImageListController() const {
  if (_selectionMode == kSelectionModeBackground) return _ctlBackgounds;
  if (_selectionMode == kSelectionModeFrames) return _ctlFrames;
  return nullptr;
}

void AssetViewController::updateLists() {
  if (!_ctlBackgounds) return;
  _ctlBackgounds->addContentItems(itemsOfType(ContentTypeBackground));
  if (_ctlFrames) _ctlFrames->addContentItems(itemsOfType(static_cast<ContentType>(_contentType)));
  _ctlTBFrames->addContentItems(itemsOfType(ContentTypeTBFrame));
  if (_viewState == kViewStateList && listView) listView->updateItemsCount();
  for (const auto& list : {_ctlBackgounds, _ctlFrames}) {
    if (!list) continue;
    auto item = list->getContentItemAtIndex(list->curIndex());
    if (item && item->isBigImageLoadPage() && item->isAllContentDownloaded())
      list->showCurImageWithAnimation(ImageSwapView::kTransitionNone);
  }
}

// Grid

std::int32_t AssetViewController::itemsCountInItemsView(ItemsView&) {
  auto list = curImageListController();
  return list ? list->imagesCount() : 0;
}

std::shared_ptr<ItemCell> AssetViewController::cellForItemsView(ItemsView& itemsView,
                                                                std::int32_t index) {
  auto cell = std::dynamic_pointer_cast<ImageItemCell>(itemsView.dequeueReusableCell());
  if (!cell) cell = std::make_shared<ImageItemCell>();
  if (auto list = curImageListController()) cell->setData(list->getContentItemAtIndex(index));
  cell->setCellIndex(index);
  return cell;
}

Size AssetViewController::cellSizeInItemsView(ItemsView&) {
  return Size(80, 120);
}

void AssetViewController::itemActionInItemsView(ItemsView&, std::int32_t index) {
  auto list = curImageListController();
  if (!list) return;
  if (index != list->curIndex())
    currentController()->setImageTransform(AffineTransform::identity());
  list->setCurIndex(index, ImageSwapView::kTransitionFade);
  setViewState(kViewStateEditing, true);
}
