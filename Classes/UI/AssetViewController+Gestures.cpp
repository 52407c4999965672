// The editor's gestures: moving, scaling and turning the selected layer, swipes through the
// items, taps and the long press that hides the controls, and the rules of when each may act.
#include "AppUI/AssetViewController.h"
#include "UI/UILongPressGestureRecognizer.h"
#include "UI/UIPanGestureRecognizer.h"
#include "UI/UIPinchGestureRecognizer.h"
#include "UI/UIRotationGestureRecognizer.h"
#include "UI/UISwipeGestureRecognizer.h"
#include "UI/UITapGestureRecognizer.h"
#include "UI/UITouch.h"

using namespace platform;

void AssetViewController::setupGuestureRecognizers() {
  std::weak_ptr<AssetViewController> weak = self();
  auto handler = [weak](void (AssetViewController::*method)(UIGestureRecognizer&)) {
    return [weak, method](UIGestureRecognizer& recognizer) {
      if (auto editor = weak.lock()) ((*editor).*method)(recognizer);
    };
  };
  auto pan = std::make_shared<UIPanGestureRecognizer>(handler(&AssetViewController::dragImage));
  auto pinch = std::make_shared<UIPinchGestureRecognizer>(handler(&AssetViewController::zoomImage));
  auto rotation =
      std::make_shared<UIRotationGestureRecognizer>(handler(&AssetViewController::rotateImage));
  auto longPress = std::make_shared<UILongPressGestureRecognizer>(
      handler(&AssetViewController::longPressRecognized));
  auto doubleTap = std::make_shared<UITapGestureRecognizer>(
      handler(&AssetViewController::doubleTapGRRecognized));
  doubleTap->setNumberOfTapsRequired(2);
  auto singleTap = std::make_shared<UITapGestureRecognizer>(
      handler(&AssetViewController::singleTapGRRecognized));
  singleTap->requireGestureRecognizerToFail(longPress);
  singleTap->requireGestureRecognizerToFail(doubleTap);
  // A stroke to the left brings the next item, as a page turned from the right.
  auto swipeLeft = std::make_shared<UISwipeGestureRecognizer>(
      handler(&AssetViewController::swipeRightRecognized));
  swipeLeft->setDirection(UISwipeGestureRecognizerDirectionLeft);
  auto swipeRight = std::make_shared<UISwipeGestureRecognizer>(
      handler(&AssetViewController::swipeLeftRecognized));
  swipeRight->setDirection(UISwipeGestureRecognizerDirectionRight);
  std::shared_ptr<UIGestureRecognizerDelegate> delegate = self();
  for (const std::shared_ptr<UIGestureRecognizer>& recognizer :
       std::initializer_list<std::shared_ptr<UIGestureRecognizer>>{
           pan, pinch, rotation, longPress, doubleTap, singleTap, swipeLeft, swipeRight}) {
    recognizer->setDelegate(delegate);
    view()->addGestureRecognizer(recognizer);
  }
}

bool AssetViewController::isMoveGestureRecognizer(const UIGestureRecognizer& recognizer) {
  return dynamic_cast<const UIPinchGestureRecognizer*>(&recognizer) ||
         dynamic_cast<const UIPanGestureRecognizer*>(&recognizer) ||
         dynamic_cast<const UIRotationGestureRecognizer*>(&recognizer);
}

bool AssetViewController::isLayerLoading() const {
  const auto& list = currentController();
  if (!list || list->haveOutOfListImage()) return false;
  auto item = list->getContentItemAtIndex(list->curIndex());
  return item && item->isBigImageLoadPage();
}

void AssetViewController::dragImage(UIGestureRecognizer& recognizer) {
  auto* pan = dynamic_cast<UIPanGestureRecognizer*>(&recognizer);
  const auto& list = currentController();
  if (!pan || !list || pan->state() != UIGestureRecognizerState::Changed) return;
  Point t = pan->translationInView(view().get());
  AffineTransform inverse = list->imageTransform().inverted();
  inverse.tx = inverse.ty = 0;
  Point moved = inverse.apply(t);
  list->setImageTransform(list->imageTransform().translated(moved.x, moved.y));
  pan->setTranslation(Point{0, 0}, view().get());
}

void AssetViewController::zoomImage(UIGestureRecognizer& recognizer) {
  auto* pinch = dynamic_cast<UIPinchGestureRecognizer*>(&recognizer);
  const auto& list = currentController();
  if (!pinch || !list || pinch->state() != UIGestureRecognizerState::Changed) return;
  list->setImageTransform(list->imageTransform().scaled(pinch->scale(), pinch->scale()));
  pinch->setScale(1);
}

void AssetViewController::rotateImage(UIGestureRecognizer& recognizer) {
  auto* rotation = dynamic_cast<UIRotationGestureRecognizer*>(&recognizer);
  const auto& list = currentController();
  if (!rotation || !list || rotation->state() != UIGestureRecognizerState::Changed) return;
  list->setImageTransform(list->imageTransform().rotated(rotation->rotation()));
  rotation->setRotation(0);
}

void AssetViewController::longPressRecognized(UIGestureRecognizer& recognizer) {
  if (recognizer.state() == UIGestureRecognizerState::Began) toggleControlsView();
}

void AssetViewController::singleTapGRRecognized(UIGestureRecognizer& recognizer) {
  if (recognizer.state() == UIGestureRecognizerState::Ended && _viewState == kViewStateNoControls)
    setViewState(kViewStateEditing, true);
}

void AssetViewController::animateTransform(ImageListController& list,
                                           const AffineTransform& transform) {
  UIView::animateWithDuration(kDoubleTapZoomDuration,
                              [&list, transform] { list.setImageTransform(transform); });
}

void AssetViewController::doubleTapGRRecognized(UIGestureRecognizer& recognizer) {
  const auto& list = currentController();
  if (recognizer.state() != UIGestureRecognizerState::Ended || !list) return;
  if (_viewState == kViewStateNoControls) {
    setViewState(kViewStateEditing, true);
    if (!list->imageTransform().isIdentity()) animateTransform(*list, AffineTransform::identity());
    return;
  }
  animateTransform(*list, list->imageTransform().isIdentity() ? AffineTransform::makeScale(2, 2)
                                                              : AffineTransform::identity());
}

void AssetViewController::changeItem(bool forward, UIGestureRecognizer& recognizer) {
  if (recognizer.state() != UIGestureRecognizerState::Ended) return;
  if (_viewState == kViewStateNoControls) {
    setViewState(kViewStateEditing, true);
    return;
  }
  UIView* hit = view()->hitTest(recognizer.locationInView(view().get()));
  auto onStrip = [hit](const std::shared_ptr<UIView>& strip) {
    return strip && hit && (hit == strip.get() || hit->superview() == strip.get());
  };
  if (onStrip(tbTopSwipeView) || onStrip(tbBottomSwipeView)) {
    forward ? nextTBFrame() : prevTBFrame();
  } else {
    forward ? nextImage() : prevImage();
  }
}

// Named after the page that comes into view: a stroke to the left shows the item on the right.
void AssetViewController::swipeRightRecognized(UIGestureRecognizer& recognizer) {
  changeItem(true, recognizer);
}

void AssetViewController::swipeLeftRecognized(UIGestureRecognizer& recognizer) {
  changeItem(false, recognizer);
}

bool AssetViewController::gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) {
  const auto& list = currentController();
  const bool identity = !list || list->imageTransform().isIdentity();
  if (dynamic_cast<UIPanGestureRecognizer*>(&recognizer)) {
    if (isLayerLoading()) return false;
    if (_selectionMode == kSelectionModePhoto || recognizer.numberOfTouches() >= 2) return true;
    return !identity;
  }
  if (dynamic_cast<UISwipeGestureRecognizer*>(&recognizer)) {
    // A one-finger stroke over an unmoved layer; never while the help tour shows.
    const bool helpShown = helpView && helpView->alpha() != 0;
    return recognizer.numberOfTouches() == 1 && identity && _selectionMode != kSelectionModePhoto &&
           !helpShown;
  }
  if (dynamic_cast<UIPinchGestureRecognizer*>(&recognizer) ||
      dynamic_cast<UIRotationGestureRecognizer*>(&recognizer))
    return !isLayerLoading();
  if (dynamic_cast<UITapGestureRecognizer*>(&recognizer))
    return _viewState != kViewStatePreview && !isLayerLoading();
  return true;
}

bool AssetViewController::gestureRecognizerShouldReceiveTouch(UIGestureRecognizer& recognizer,
                                                              UITouch& touch) {
  UIView* hit = view()->hitTest(touch.locationInView(view().get()));
  if (dynamic_cast<UITapGestureRecognizer*>(&recognizer) ||
      dynamic_cast<UILongPressGestureRecognizer*>(&recognizer))
    return hit && (hit == view().get() || hit == controlsView.get());
  const bool swipe = dynamic_cast<UISwipeGestureRecognizer*>(&recognizer) != nullptr;
  if (_viewState == kViewStateEditing) return swipe || (hit && hit == controlsView.get());
  return swipe && _viewState == kViewStateNoControls;
}
