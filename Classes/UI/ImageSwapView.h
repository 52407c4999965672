#pragma once

#include <memory>

#include "Graphics/Image.h"
#include "UI/CAAnimation.h"
#include "UI/UIImageView.h"
#include "UI/UIView.h"

// Shows one layer of the composition: two picture views, the one on screen and the one that
// takes the next picture, so that a new picture can push the old one aside or fade over it.
class ImageSwapView : public platform::UIView, public platform::CAAnimationDelegate {
 public:
  // Transition codes of swapImage.
  static constexpr int kTransitionNone = 0;
  static constexpr int kTransitionPushFromLeft = 1;
  static constexpr int kTransitionPushFromRight = 2;
  static constexpr int kTransitionFade = 3;
  // The picture views reach this much further down on the tall screen.
  static constexpr double kTallScreenExtraHeight = 88;

  ImageSwapView();
  explicit ImageSwapView(platform::Rect frame);
  std::string className() const override { return "ImageSwapView"; }
  // Makes the class known to interface files.
  static void registerViewClass();

  // Shows `image` (none empties the layer) with one of the transition codes; an unknown code
  // counts as none.
  void swapImage(std::shared_ptr<platform::Image> image, int animation);
  // The picture on screen.
  const std::shared_ptr<platform::Image>& image() const { return _curImage->image(); }
  platform::UIImageView& curImageView() const { return *_curImage; }

  void animationDidStop(const platform::CATransition& animation, bool finished) override;
  // A view from an interface file gets its size after construction.
  void awakeFromNib() override;

 private:
  void internalInitialize();
  void layoutImageViews();

  std::shared_ptr<platform::UIImageView> _curImage;
  std::shared_ptr<platform::UIImageView> _nextImage;
};
