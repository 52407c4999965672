#include "AppUI/UIItems.h"

#include "Graphics/UIFont.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"

using namespace platform;

namespace {

void setTitleFont(UIButton& button, double size) {
  if (UILabel* label = button.titleLabel())
    label->setFont(UIFont::fontWithName(UIItems::kTitleFontName, size));
}

}  // namespace

void UIItems::applyMainButtonStyleToButton(UIButton& button) {
  setTitleFont(button, 35);
}

void UIItems::applyMainTabButtonStyleToButton(UIButton& button) {
  setTitleFont(button, 20);
}

void UIItems::applyBgTabButtonStyleToButton(UIButton& button) {
  setTitleFont(button, 18);
}

void UIItems::configureViews(UIView& view) {
  if (auto* button = dynamic_cast<UIButton*>(&view)) {
    switch (button->tag()) {
      case kMainButtonTag:
        applyMainButtonStyleToButton(*button);
        break;
      case kMainTabButtonTag:
        applyMainTabButtonStyleToButton(*button);
        break;
      case kBgTabButtonTag:
        applyBgTabButtonStyleToButton(*button);
        break;
      default:
        break;
    }
    return;
  }
  // A copy: styling never changes the tree, but a child's layout could.
  auto children = view.subviews();
  for (const auto& child : children) configureViews(*child);
}
