#pragma once

#include <memory>

#include "GalleryPage.h"
#include "UI/UIGestureRecognizerDelegate.h"
#include "UI/UIPanGestureRecognizer.h"
#include "UI/UIPinchGestureRecognizer.h"
#include "UI/UIRotationGestureRecognizer.h"
#include "UI/UITapGestureRecognizer.h"

// A card that follows a pan, a pinch and a rotation at once; a double tap puts it back. A
// caption tells its scale and angle.
class GesturesPage : public GalleryPage, public platform::UIGestureRecognizerDelegate {
 public:
  GesturesPage() : GalleryPage("gestures", Gallery::text("_Loc_GalleryGesturesTitle")) {}

  platform::UIView& card() const { return *_card; }
  // Where the card rests before any gesture, in the page's coordinates.
  platform::Point restingCenter() const { return _restingCenter; }
  double scale() const { return _scale; }
  // Radians, clockwise on screen.
  double angle() const { return _angle; }

  bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
      platform::UIGestureRecognizer& a, platform::UIGestureRecognizer& b) override;

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  void pan(platform::UIPanGestureRecognizer& pan);
  void pinch(platform::UIPinchGestureRecognizer& pinch);
  void rotate(platform::UIRotationGestureRecognizer& rotation);
  void reset();
  void applyTransform();

  std::shared_ptr<platform::UIView> _card;
  std::shared_ptr<platform::UILabel> _caption;
  std::shared_ptr<platform::UIPanGestureRecognizer> _pan;
  std::shared_ptr<platform::UIPinchGestureRecognizer> _pinch;
  std::shared_ptr<platform::UIRotationGestureRecognizer> _rotation;
  std::shared_ptr<platform::UITapGestureRecognizer> _doubleTap;
  platform::Point _restingCenter;
  double _scale = 1;
  double _angle = 0;
};
