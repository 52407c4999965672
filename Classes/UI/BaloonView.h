#pragma once

#include <memory>

#include "UI/UIImageView.h"
#include "UI/UIView.h"

// A speech balloon: a content view under a bar of three pictures, a stretchable left and right
// piece and a pointer between them, placed so that the pointer's tip sits just below the top
// edge of the rectangle it points at.
class BaloonView : public platform::UIView {
 public:
  static constexpr double kTipGap = 5;
  static constexpr double kAnimationDuration = 0.5;

  BaloonView();
  explicit BaloonView(platform::Rect frame);
  std::string className() const override { return "BaloonView"; }
  // Lets interface files name the class.
  static void registerViewClass();

  // The left piece stretches right of `capWidth`; the right piece stretches everywhere but its
  // first column.
  void setLeftImage(std::shared_ptr<platform::Image> image, double capWidth);
  void setRightImage(std::shared_ptr<platform::Image> image, double capWidth);
  // The pointer, drawn as it is.
  void setCenterImage(std::shared_ptr<platform::Image> image);
  // Moves into `view` when elsewhere, takes `contentView` as its content and points at the
  // middle of the top edge of `rectOfInterest` (in `view`'s coordinates).
  void showAtView(platform::UIView& view, std::shared_ptr<platform::UIView> contentView,
                  platform::Rect rectOfInterest, bool animated);

  const std::shared_ptr<platform::UIView>& contentView() const { return _contentView; }
  const platform::UIImageView& leftImageView() const { return *_leftImgView; }
  const platform::UIImageView& centerImageView() const { return *_centerImgView; }
  const platform::UIImageView& rightImageView() const { return *_rightImgView; }

 private:
  void init();
  void place(platform::UIView& view, platform::Rect rectOfInterest);

  std::shared_ptr<platform::UIImageView> _leftImgView;
  std::shared_ptr<platform::UIImageView> _centerImgView;
  std::shared_ptr<platform::UIImageView> _rightImgView;
  std::shared_ptr<platform::UIView> _contentView;
  int _leftCap = 0;
  int _rightCap = 0;
};
