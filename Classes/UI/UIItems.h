#pragma once

namespace platform {
class UIButton;
class UIView;
}  // namespace platform

// The title styles of the application's buttons, chosen by tag: screens call configureViews on
// their root view once it is loaded and localized.
class UIItems {
 public:
  static constexpr int kMainButtonTag = 3000;
  static constexpr int kMainTabButtonTag = 3001;
  static constexpr int kBgTabButtonTag = 2000;
  static constexpr const char* kTitleFontName = "HelveticaNeue-CondensedBold";

  static void applyMainButtonStyleToButton(platform::UIButton& button);
  static void applyMainTabButtonStyleToButton(platform::UIButton& button);
  static void applyBgTabButtonStyleToButton(platform::UIButton& button);
  // Styles the buttons of the tree by their tags; a button's own children are left alone.
  static void configureViews(platform::UIView& view);
};
