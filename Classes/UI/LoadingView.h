#pragma once

#include <memory>

#include "UI/UIActivityIndicatorView.h"
#include "UI/UIView.h"

// The one loading indicator of the process: a dark rounded square with a large white wheel,
// put over a screen while a picture is made. The screen beneath takes no touches meanwhile.
class LoadingView : public platform::UIView {
 public:
  static constexpr double kWidth = 128;
  static constexpr double kHeight = 120;
  static constexpr double kFadeInDuration = 0.2;

  explicit LoadingView(platform::Rect frame);
  std::string className() const override { return "LoadingView"; }

  // Over the application's navigation controller (or its tab bar controller); nothing when the
  // application delegate offers neither.
  static void show();
  // Over `view`: centred across, a third of the way down, fading in.
  static void showInView(platform::UIView& view);
  // The screen beneath takes touches again; nothing when the indicator is not shown.
  static void hide();
  // The shared indicator, made on first use and kept for the whole process.
  static const std::shared_ptr<LoadingView>& sharedView();

 private:
  static std::shared_ptr<LoadingView>& sharedSlot();
  platform::UIActivityIndicatorView& wheel() const;
};
