#include "GesturesPage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

using namespace platform;

bool GesturesPage::gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
    UIGestureRecognizer& a, UIGestureRecognizer& b) {
  auto following = [this](const UIGestureRecognizer& r) {
    return &r == _pan.get() || &r == _pinch.get() || &r == _rotation.get();
  };
  return following(a) && following(b);
}

void GesturesPage::buildPage(UIView& page) {
  Size size = page.bounds().size;
  _restingCenter = Point{size.width / 2, kHeadingHeight + (size.height - kHeadingHeight) / 2 - 20};
  _card = std::make_shared<UIView>(Rect(0, 0, 150, 150));
  _card->setCenter(_restingCenter);
  _card->setBackgroundColor(UIColor::fromString("#c03040"));
  _card->layer().setCornerRadius(16);
  auto stripe = std::make_shared<UIView>(Rect(0, 0, 150, 36));
  stripe->setBackgroundColor(UIColor::fromString("#ffcc00"));
  stripe->setUserInteractionEnabled(false);
  _card->addSubview(stripe);
  auto label =
      Gallery::caption(Rect(10, 50, 130, 80), Gallery::text("_Loc_GalleryGesturesHint"), 16);
  label->setNumberOfLines(0);
  label->setUserInteractionEnabled(false);
  _card->addSubview(label);
  _card->setMultipleTouchEnabled(true);
  page.addSubview(_card);

  auto delegate = weakDelegate<UIGestureRecognizerDelegate>();
  // The card owns its recognizers, and the page owns the card.
  _pan = std::make_shared<UIPanGestureRecognizer>(
      [this](UIGestureRecognizer& g) { pan(static_cast<UIPanGestureRecognizer&>(g)); });
  _pinch = std::make_shared<UIPinchGestureRecognizer>(
      [this](UIGestureRecognizer& g) { pinch(static_cast<UIPinchGestureRecognizer&>(g)); });
  _rotation = std::make_shared<UIRotationGestureRecognizer>(
      [this](UIGestureRecognizer& g) { rotate(static_cast<UIRotationGestureRecognizer&>(g)); });
  _doubleTap = std::make_shared<UITapGestureRecognizer>([this](UIGestureRecognizer& g) {
    if (g.state() == UIGestureRecognizerState::Recognized) reset();
  });
  _doubleTap->setNumberOfTapsRequired(2);
  using Recognizers = std::initializer_list<std::shared_ptr<UIGestureRecognizer>>;
  for (const auto& r : Recognizers{_pan, _pinch, _rotation, _doubleTap}) {
    r->setDelegate(delegate);
    _card->addGestureRecognizer(r);
  }

  _caption = Gallery::caption(Rect(10, size.height - 36, size.width - 20, 24), "", 15);
  page.addSubview(_caption);
  applyTransform();
}

void GesturesPage::pan(UIPanGestureRecognizer& pan) {
  UIView* page = _card->superview();
  Point t = pan.translationInView(page);
  _card->setCenter(Point{_card->center().x + t.x, _card->center().y + t.y});
  pan.setTranslation(Point{0, 0}, page);
}

void GesturesPage::pinch(UIPinchGestureRecognizer& pinch) {
  _scale = std::clamp(_scale * pinch.scale(), 0.25, 4.0);
  pinch.setScale(1);
  applyTransform();
}

void GesturesPage::rotate(UIRotationGestureRecognizer& rotation) {
  _angle = std::remainder(_angle + rotation.rotation(), 2 * M_PI);
  rotation.setRotation(0);
  applyTransform();
}

void GesturesPage::reset() {
  _scale = 1;
  _angle = 0;
  UIView::animateWithDuration(0.25, [this] {
    _card->setCenter(_restingCenter);
    applyTransform();
  });
}

void GesturesPage::applyTransform() {
  _card->setTransform(AffineTransform::concat(AffineTransform::makeScale(_scale, _scale),
                                              AffineTransform::makeRotation(_angle)));
  char scale[32], angle[32];
  std::snprintf(scale, sizeof scale, "%.2f", _scale);
  std::snprintf(angle, sizeof angle, "%.0f", _angle * 180 / M_PI);
  _caption->setText(Gallery::text("_Loc_GalleryGesturesState", {scale, angle}));
}
