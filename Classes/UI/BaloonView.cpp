#include "AppUI/BaloonView.h"

#include "UI/StretchableImage.h"
#include "UI/ViewClassRegistry.h"

using namespace platform;

BaloonView::BaloonView() {
  init();
}

BaloonView::BaloonView(Rect frame) : UIView(frame) {
  init();
}

void BaloonView::registerViewClass() {
  ViewClassRegistry::registerClass("BaloonView", [] { return std::make_shared<BaloonView>(); });
}

void BaloonView::init() {
  _leftImgView = std::make_shared<UIImageView>(Rect{});
  _rightImgView = std::make_shared<UIImageView>(Rect{});
  _centerImgView = std::make_shared<UIImageView>(Rect{});
  // The pointer goes on top of the two pieces it overlaps.
  addSubview(_leftImgView);
  addSubview(_rightImgView);
  addSubview(_centerImgView);
}

void BaloonView::setLeftImage(std::shared_ptr<Image> image, double capWidth) {
  _leftCap = static_cast<int>(capWidth);
  _leftImgView->setImage(StretchableImage::stretchableImageWithLeftCapWidth(image, _leftCap, 0));
}

void BaloonView::setRightImage(std::shared_ptr<Image> image, double capWidth) {
  _rightCap = static_cast<int>(capWidth);
  _rightImgView->setImage(StretchableImage::stretchableImageWithLeftCapWidth(image, 1, 0));
}

void BaloonView::setCenterImage(std::shared_ptr<Image> image) {
  _centerImgView->setImage(std::move(image));
}

void BaloonView::showAtView(UIView& view, std::shared_ptr<UIView> contentView, Rect rectOfInterest,
                            bool animated) {
  if (superview() != &view) view.addSubview(shared_from_this());
  if (contentView != _contentView) {
    if (_contentView && _contentView->superview() == this) _contentView->removeFromSuperview();
    _contentView = std::move(contentView);
  }
  if (_contentView && _contentView->superview() != this) addSubview(_contentView);
  if (animated)
    UIView::animateWithDuration(kAnimationDuration, [&] { place(view, rectOfInterest); });
  else
    place(view, rectOfInterest);
}

void BaloonView::place(UIView& view, Rect rect) {
  Size content = _contentView ? _contentView->bounds().size : Size{};
  auto pointer = _centerImgView->image();
  Size tip = pointer ? pointer->size() : Size{};
  double middle = rect.origin.x + rect.size.width / 2;
  double top = rect.origin.y + kTipGap;
  double offset = middle - view.bounds().size.width / 2;
  double tipX = content.width / 2 + offset;

  Point at = convertPointToView(Point{tipX, tip.height}, &view);
  Point c = center();
  setCenter(Point{c.x + middle - at.x, c.y + top - at.y});

  _centerImgView->setFrame(Rect{tipX - tip.width / 2, 0, tip.width, tip.height});
  _leftImgView->setFrame(Rect{0, 0, tipX - tip.width / 2, tip.height});
  _rightImgView->setFrame(
      Rect{tipX + tip.width / 2, 0, content.width - tipX - tip.width / 2, tip.height});
  if (_contentView) _contentView->setFrame(Rect{0, 0, content.width, content.height});
}
