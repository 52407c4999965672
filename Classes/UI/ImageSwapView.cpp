#include "AppUI/ImageSwapView.h"

#include "GeneralTools/Tools.h"
#include "UI/CATransition.h"
#include "UI/ViewClassRegistry.h"

using namespace platform;

ImageSwapView::ImageSwapView() {
  internalInitialize();
}

ImageSwapView::ImageSwapView(Rect frame) : UIView(frame) {
  internalInitialize();
}

void ImageSwapView::registerViewClass() {
  ViewClassRegistry::registerClass("ImageSwapView",
                                   [] { return std::make_shared<ImageSwapView>(); });
}

void ImageSwapView::internalInitialize() {
  _curImage = std::make_shared<UIImageView>();
  _nextImage = std::make_shared<UIImageView>();
  for (const auto& view : {_curImage, _nextImage}) {
    view->setBackgroundColor(UIColor::clearColor());
    view->setContentMode(UIViewContentMode::ScaleAspectFit);
  }
  setBackgroundColor(UIColor::clearColor());
  _nextImage->setHidden(true);
  addSubview(_curImage);
  addSubview(_nextImage);
  layoutImageViews();
}

void ImageSwapView::layoutImageViews() {
  Rect frame = bounds();
  if (Tools::isIPhone5Screen()) frame.size.height += kTallScreenExtraHeight;
  _curImage->setFrame(frame);
  _nextImage->setFrame(frame);
}

void ImageSwapView::awakeFromNib() {
  layoutImageViews();
}

void ImageSwapView::swapImage(std::shared_ptr<Image> image, int animation) {
  std::shared_ptr<CATransition> transition;
  if (animation >= kTransitionPushFromLeft && animation <= kTransitionFade) {
    transition = CATransition::animation();
    if (animation == kTransitionFade) {
      transition->setType(kCATransitionFade);
    } else {
      transition->setType(kCATransitionPush);
      transition->setSubtype(animation == kTransitionPushFromLeft ? kCATransitionFromLeft
                                                                  : kCATransitionFromRight);
    }
  }
  _nextImage->setFrame(_curImage->frame());
  _nextImage->setImage(std::move(image));
  if (transition) {
    transition->setDelegate(std::static_pointer_cast<ImageSwapView>(shared_from_this()));
    layer().addAnimation(transition);
  }
  _nextImage->setHidden(false);
  _curImage->setHidden(true);
  // The references change places now, not when the transition ends: a second picture that
  // comes while a transition runs must go into the hidden view, never the one on screen.
  std::swap(_curImage, _nextImage);
  if (!transition) animationDidStop(CATransition(), true);
}

void ImageSwapView::animationDidStop(const CATransition&, bool finished) {
  // The picture that left is no longer drawn; a replaced transition's successor has already
  // given the hidden view its next picture, so only a finished one lets go.
  if (finished) _nextImage->setImage(nullptr);
}
