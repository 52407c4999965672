#include "UI/UIActionSheet.h"

#include <algorithm>

#include "Foundation/Console.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

// Sheets on screen, kept alive until they are dismissed.
std::vector<std::shared_ptr<UIView>>& shownSheets() {
  static std::vector<std::shared_ptr<UIView>> shown;
  return shown;
}

}  // namespace

UIActionSheet::UIActionSheet(std::string title, std::weak_ptr<UIActionSheetDelegate> delegate,
                             std::optional<std::string> cancelButtonTitle,
                             std::optional<std::string> destructiveButtonTitle,
                             std::vector<std::string> otherButtonTitles)
    : _title(std::move(title)), _delegate(std::move(delegate)) {
  setBackgroundColor(UIColor::colorWithWhite(0, 0.4));
  _panel = std::make_shared<UIView>();
  _panel->setBackgroundColor(UIColor::colorWithRed(0.12, 0.12, 0.14, 0.95));
  addSubview(_panel);
  _titleLabel = std::make_shared<UILabel>();
  _titleLabel->setFont(UIFont::systemFontOfSize(13));
  _titleLabel->setTextColor(UIColor::colorWithWhite(0.85, 1));
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

UIActionSheet::~UIActionSheet() {
  for (auto& button : _buttons) button->removeAllTargets();
}

void UIActionSheet::setTitle(std::string title) {
  _title = std::move(title);
  _titleLabel->setText(_title);
  setNeedsLayout();
}

int UIActionSheet::addButtonWithTitle(std::string title) {
  _titles.push_back(std::move(title));
  rebuildButtons();
  return numberOfButtons() - 1;
}

std::string UIActionSheet::buttonTitleAtIndex(int index) const {
  if (index < 0 || index >= numberOfButtons()) return {};
  return _titles[static_cast<size_t>(index)];
}

void UIActionSheet::setCancelButtonIndex(int index) {
  _cancelIndex = index >= 0 && index < numberOfButtons() ? index : -1;
  rebuildButtons();
}

void UIActionSheet::setDestructiveButtonIndex(int index) {
  _destructiveIndex = index >= 0 && index < numberOfButtons() ? index : -1;
  rebuildButtons();
}

int UIActionSheet::firstOtherButtonIndex() const {
  for (int i = 0; i < numberOfButtons(); ++i)
    if (i != _cancelIndex && i != _destructiveIndex) return i;
  return -1;
}

UIButton* UIActionSheet::buttonAtIndex(int index) const {
  if (index < 0 || index >= static_cast<int>(_buttons.size())) return nullptr;
  return _buttons[static_cast<size_t>(index)].get();
}

void UIActionSheet::rebuildButtons() {
  for (auto& b : _buttons) b->removeFromSuperview();
  _buttons.clear();
  for (int i = 0; i < numberOfButtons(); ++i) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle(_titles[static_cast<size_t>(i)], UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    UIColor fill = i == _destructiveIndex ? UIColor::colorWithRed(0.75, 0.1, 0.1, 1)
                   : i == _cancelIndex    ? UIColor::colorWithWhite(0.25, 1)
                                          : UIColor::colorWithWhite(0.4, 1);
    button->setBackgroundColor(fill);
    button->layer().setCornerRadius(6);
    // The buttons' targets are removed when this goes, so `this` is alive when one runs.
    button->addTarget([this, i](UIControl&) { buttonTapped(i); }, UIControlEventTouchUpInside);
    _panel->addSubview(button);
    _buttons.push_back(std::move(button));
  }
  setNeedsLayout();
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
  if (_visible) return;
  UIWindow* window = view ? view->window() : UIApplication::sharedApplication().keyWindow().get();
  if (!window) {
    Console::log("Action sheet \"" + _title + "\" not shown: the view is not on screen");
    return;
  }
  auto self = std::static_pointer_cast<UIActionSheet>(shared_from_this());
  if (auto d = delegate()) d->willPresentActionSheet(*this);
  _visible = true;
  shownSheets().push_back(self);
  setFrame(window->bounds());
  window->addSubview(self);
  layoutIfNeeded();
  Point rest = _panel->center();
  _panel->setCenter(Point{rest.x, rest.y + _panel->bounds().size.height});
  std::weak_ptr<UIActionSheet> weak = self;
  UIView::animateWithDuration(
      kSlideDuration, 0, UIViewAnimationOptionCurveEaseOut, [&] { _panel->setCenter(rest); },
      [weak](bool) {
        auto sheet = weak.lock();
        if (!sheet || !sheet->_visible) return;
        if (auto d = sheet->delegate()) d->didPresentActionSheet(*sheet);
      });
}

void UIActionSheet::buttonTapped(int index) {
  if (!_visible || _dismissing) return;
  auto self = shared_from_this();
  if (auto d = delegate()) d->actionSheetClickedButtonAtIndex(*this, index);
  dismissWithClickedButtonIndex(index, true);
}

void UIActionSheet::dismissWithClickedButtonIndex(int index, bool animated) {
  if (!_visible || _dismissing) return;
  auto self = std::static_pointer_cast<UIActionSheet>(shared_from_this());
  _dismissing = true;
  if (auto d = delegate()) d->actionSheetWillDismissWithButtonIndex(*this, index);
  auto finish = [self, index](bool) {
    self->removeFromSuperview();
    self->_visible = false;
    self->_dismissing = false;
    std::erase(shownSheets(), self);
    if (auto d = self->delegate()) d->actionSheetDidDismissWithButtonIndex(*self, index);
  };
  if (!animated) {
    finish(true);
    return;
  }
  Point rest = _panel->center();
  UIView::animateWithDuration(
      kSlideDuration, 0, UIViewAnimationOptionCurveEaseIn,
      [&] {
        _panel->setCenter(Point{rest.x, rest.y + _panel->bounds().size.height});
      },
      [self, rest, finish](bool done) {
        self->_panel->setCenter(rest);
        finish(done);
      });
}

}  // namespace platform
