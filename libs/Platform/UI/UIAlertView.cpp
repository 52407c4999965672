#include "UI/UIAlertView.h"

#include <algorithm>

#include "Foundation/Console.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

// Alerts on screen, kept alive until they are dismissed.
std::vector<std::shared_ptr<UIView>>& shownAlerts() {
  static std::vector<std::shared_ptr<UIView>> shown;
  return shown;
}

}  // namespace

UIAlertView::UIAlertView(std::string title, std::string message,
                         std::weak_ptr<UIAlertViewDelegate> delegate,
                         std::optional<std::string> cancelButtonTitle,
                         std::vector<std::string> otherButtonTitles)
    : _title(std::move(title)), _message(std::move(message)), _delegate(std::move(delegate)) {
  setBackgroundColor(UIColor::colorWithWhite(0, 0.4));
  _box = std::make_shared<UIView>();
  _box->setBackgroundColor(UIColor::colorWithRed(0.1, 0.15, 0.3, 0.92));
  _box->layer().setCornerRadius(10);
  addSubview(_box);
  _titleLabel = std::make_shared<UILabel>();
  _titleLabel->setFont(UIFont::boldSystemFontOfSize(17));
  _messageLabel = std::make_shared<UILabel>();
  _messageLabel->setFont(UIFont::systemFontOfSize(15));
  for (auto& label : {_titleLabel, _messageLabel}) {
    label->setTextColor(UIColor::whiteColor());
    label->setTextAlignment(NSTextAlignment::Center);
    label->setNumberOfLines(0);
    label->setBackgroundColor(std::nullopt);
    _box->addSubview(label);
  }
  _titleLabel->setText(_title);
  _messageLabel->setText(_message);
  if (cancelButtonTitle) {
    _titles.push_back(*cancelButtonTitle);
    _cancelIndex = 0;
  }
  for (auto& t : otherButtonTitles) _titles.push_back(std::move(t));
  rebuildButtons();
}

UIAlertView::~UIAlertView() {
  for (auto& button : _buttons) button->removeAllTargets();
}

void UIAlertView::setTitle(std::string title) {
  _title = std::move(title);
  _titleLabel->setText(_title);
  setNeedsLayout();
}

void UIAlertView::setMessage(std::string message) {
  _message = std::move(message);
  _messageLabel->setText(_message);
  setNeedsLayout();
}

int UIAlertView::addButtonWithTitle(std::string title) {
  _titles.push_back(std::move(title));
  rebuildButtons();
  return numberOfButtons() - 1;
}

std::string UIAlertView::buttonTitleAtIndex(int index) const {
  if (index < 0 || index >= numberOfButtons()) return {};
  return _titles[static_cast<size_t>(index)];
}

void UIAlertView::setCancelButtonIndex(int index) {
  _cancelIndex = index >= 0 && index < numberOfButtons() ? index : -1;
  setNeedsLayout();
}

int UIAlertView::firstOtherButtonIndex() const {
  for (int i = 0; i < numberOfButtons(); ++i)
    if (i != _cancelIndex) return i;
  return -1;
}

UIButton* UIAlertView::buttonAtIndex(int index) const {
  if (index < 0 || index >= static_cast<int>(_buttons.size())) return nullptr;
  return _buttons[static_cast<size_t>(index)].get();
}

void UIAlertView::rebuildButtons() {
  for (auto& b : _buttons) b->removeFromSuperview();
  _buttons.clear();
  for (int i = 0; i < numberOfButtons(); ++i) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle(_titles[static_cast<size_t>(i)], UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->setBackgroundColor(UIColor::colorWithWhite(1, 0.15));
    button->layer().setCornerRadius(5);
    // The buttons' targets are removed when this goes, so `this` is alive when one runs.
    button->addTarget([this, i](UIControl&) { buttonTapped(i); }, UIControlEventTouchUpInside);
    _box->addSubview(button);
    _buttons.push_back(std::move(button));
  }
  setNeedsLayout();
}

void UIAlertView::layoutSubviews() {
  Rect b = bounds();
  double width = std::min(kBoxWidth, b.size.width - 20);
  double inner = width - 24;
  double y = 16;
  Size titleSize = _titleLabel->sizeThatFits(Size{inner, 1000});
  _titleLabel->setFrame(Rect(12, y, inner, titleSize.height));
  y += titleSize.height + 8;
  Size messageSize = _message.empty() ? Size{0, 0} : _messageLabel->sizeThatFits(Size{inner, 1000});
  _messageLabel->setFrame(Rect(12, y, inner, messageSize.height));
  y += messageSize.height + 12;
  int n = numberOfButtons();
  if (n == 2) {
    // Side by side, in index order.
    double w = (inner - 8) / 2;
    for (int i = 0; i < 2; ++i)
      _buttons[static_cast<size_t>(i)]->setFrame(Rect(12 + i * (w + 8), y, w, kButtonHeight));
    y += kButtonHeight + 12;
  } else {
    // Stacked, the cancel button last.
    std::vector<int> order;
    for (int i = 0; i < n; ++i)
      if (i != _cancelIndex) order.push_back(i);
    if (_cancelIndex >= 0) order.push_back(_cancelIndex);
    for (int i : order) {
      _buttons[static_cast<size_t>(i)]->setFrame(Rect(12, y, inner, kButtonHeight));
      y += kButtonHeight + 8;
    }
    y += 4;
  }
  _box->setFrame(Rect(b.origin.x + (b.size.width - width) / 2, b.origin.y + (b.size.height - y) / 2,
                      width, y));
}

void UIAlertView::show() {
  if (_visible) return;
  auto window = UIApplication::sharedApplication().keyWindow();
  if (!window) {
    Console::log("Alert \"" + _title + "\" not shown: there is no window");
    return;
  }
  auto self = std::static_pointer_cast<UIAlertView>(shared_from_this());
  if (auto d = delegate()) d->willPresentAlertView(*this);
  _visible = true;
  shownAlerts().push_back(self);
  setFrame(window->bounds());
  window->addSubview(self);
  layoutIfNeeded();
  setAlpha(0);
  std::weak_ptr<UIAlertView> weak = self;
  UIView::animateWithDuration(
      kFadeDuration, [&] { setAlpha(1); },
      [weak](bool) {
        auto alert = weak.lock();
        if (!alert || !alert->_visible) return;
        if (auto d = alert->delegate()) d->didPresentAlertView(*alert);
      });
}

void UIAlertView::buttonTapped(int index) {
  if (!_visible || _dismissing) return;
  auto self = shared_from_this();
  if (auto d = delegate()) d->alertViewClickedButtonAtIndex(*this, index);
  dismissWithClickedButtonIndex(index, true);
}

void UIAlertView::dismissWithClickedButtonIndex(int index, bool animated) {
  if (!_visible || _dismissing) return;
  auto self = std::static_pointer_cast<UIAlertView>(shared_from_this());
  _dismissing = true;
  if (auto d = delegate()) d->alertViewWillDismissWithButtonIndex(*this, index);
  auto finish = [self, index](bool) {
    self->removeFromSuperview();
    self->_visible = false;
    self->_dismissing = false;
    self->setAlpha(1);
    std::erase(shownAlerts(), self);
    if (auto d = self->delegate()) d->alertViewDidDismissWithButtonIndex(*self, index);
  };
  if (animated)
    UIView::animateWithDuration(
        kFadeDuration, [&] { setAlpha(0); }, finish);
  else
    finish(true);
}

}  // namespace platform
