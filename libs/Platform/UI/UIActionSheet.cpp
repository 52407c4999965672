#include "UI/UIActionSheet.h"

#include <algorithm>

#include "Foundation/Console.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UITheme.h"
#include "UI/UIWindow.h"

namespace platform {

UIActionSheet::UIActionSheet(std::string title, std::weak_ptr<UIActionSheetDelegate> delegate,
                             std::optional<std::string> cancelButtonTitle,
                             std::optional<std::string> destructiveButtonTitle,
                             std::vector<std::string> otherButtonTitles)
    : _title(std::move(title)), _delegate(std::move(delegate)) {
  setBackgroundColor(UITheme::current().dimming);
  _panel = std::make_shared<UIView>();
  _panel->setBackgroundColor(UITheme::current().sheetPanel);
  addSubview(_panel);
  _titleLabel = std::make_shared<UILabel>();
  _titleLabel->setFont(UITheme::current().sheetTitleFont);
  _titleLabel->setTextColor(UITheme::current().sheetTitle);
  _titleLabel->setTextAlignment(NSTextAlignment::Center);
  _titleLabel->setNumberOfLines(0);
  _titleLabel->setBackgroundColor(std::nullopt);
  _titleLabel->setText(_title);
  _panel->addSubview(_titleLabel);
  if (destructiveButtonTitle) {
    _titles.push_back(*destructiveButtonTitle);
    _destructiveIndex = 0;
  }
  for (auto& t : otherButtonTitles) _titles.push_back(std::move(t));
  if (cancelButtonTitle) {
    _titles.push_back(*cancelButtonTitle);
    _cancelIndex = numberOfButtons() - 1;
  }
  rebuildButtons();
}

UIActionSheet::~UIActionSheet() = default;

void UIActionSheet::setTitle(std::string title) {
  _title = std::move(title);
  _titleLabel->setText(_title);
  setNeedsLayout();
}

void UIActionSheet::setDestructiveButtonIndex(int index) {
  _destructiveIndex = index >= 0 && index < numberOfButtons() ? index : -1;
  rebuildButtons();
}

void UIActionSheet::styleButton(UIButton& button, int index) const {
  const UITheme& theme = UITheme::current();
  UIColor fill = index == _destructiveIndex ? theme.sheetDestructiveButton
                 : index == _cancelIndex    ? theme.sheetCancelButton
                                            : theme.sheetButton;
  button.setBackgroundColor(fill);
  button.layer().setCornerRadius(6);
}

Rect UIActionSheet::panelFrame() const {
  Rect b = bounds();
  double inner = b.size.width - 40;
  double titleHeight =
      _title.empty() ? 0 : _titleLabel->sizeThatFits(Size{inner, 1000}).height + 12;
  double height = 12 + titleHeight + numberOfButtons() * (kButtonHeight + 8) + 12;
  return Rect(b.origin.x, b.origin.y + b.size.height - height, b.size.width, height);
}

void UIActionSheet::layoutSubviews() {
  Rect panel = panelFrame();
  _panel->setFrame(panel);
  double inner = panel.size.width - 40;
  double y = 12;
  if (!_title.empty()) {
    double h = _titleLabel->sizeThatFits(Size{inner, 1000}).height;
    _titleLabel->setFrame(Rect(20, y, inner, h));
    y += h + 12;
  }
  _titleLabel->setHidden(_title.empty());
  // In index order; the cancel button set apart a little when it is last.
  for (int i = 0; i < numberOfButtons(); ++i) {
    if (i == _cancelIndex && i == numberOfButtons() - 1) y += 4;
    _buttons[static_cast<size_t>(i)]->setFrame(Rect(20, y, inner, kButtonHeight));
    y += kButtonHeight + 8;
  }
}

void UIActionSheet::showInView(UIView* view) {
  UIWindow* window = view ? view->window() : UIApplication::sharedApplication().keyWindow().get();
  if (!window) {
    Console::log("Action sheet \"" + _title + "\" not shown: the view is not on screen");
    return;
  }
  presentInWindow(*window);
}

void UIActionSheet::animateIn(std::function<void()> done) {
  Point rest = _panel->center();
  _panel->setCenter(Point{rest.x, rest.y + _panel->bounds().size.height});
  UIView::animateWithDuration(
      kSlideDuration, 0, UIViewAnimationOptionCurveEaseOut, [&] { _panel->setCenter(rest); },
      [done](bool) { done(); });
}

void UIActionSheet::animateOut(std::function<void()> done) {
  auto self = std::static_pointer_cast<UIActionSheet>(shared_from_this());
  Point rest = _panel->center();
  UIView::animateWithDuration(
      kSlideDuration, 0, UIViewAnimationOptionCurveEaseIn,
      [&] {
        _panel->setCenter(Point{rest.x, rest.y + _panel->bounds().size.height});
      },
      [self, rest, done](bool) {
        self->_panel->setCenter(rest);  // in place for the next showing
        done();
      });
}

void UIActionSheet::notify(Moment moment, int index) {
  auto d = delegate();
  if (!d) return;
  switch (moment) {
    case Moment::WillPresent:
      d->willPresentActionSheet(*this);
      break;
    case Moment::DidPresent:
      d->didPresentActionSheet(*this);
      break;
    case Moment::Clicked:
      d->actionSheetClickedButtonAtIndex(*this, index);
      break;
    case Moment::WillDismiss:
      d->actionSheetWillDismissWithButtonIndex(*this, index);
      break;
    case Moment::DidDismiss:
      d->actionSheetDidDismissWithButtonIndex(*this, index);
      break;
  }
}

}  // namespace platform
