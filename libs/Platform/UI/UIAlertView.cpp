#include "UI/UIAlertView.h"

#include <algorithm>

#include "Foundation/Console.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UITheme.h"
#include "UI/UIWindow.h"

namespace platform {

UIAlertView::UIAlertView(std::string title, std::string message,
                         std::weak_ptr<UIAlertViewDelegate> delegate,
                         std::optional<std::string> cancelButtonTitle,
                         std::vector<std::string> otherButtonTitles)
    : _title(std::move(title)), _message(std::move(message)), _delegate(std::move(delegate)) {
  setBackgroundColor(UITheme::current().dimming);
  _box = std::make_shared<UIView>();
  _box->setBackgroundColor(UITheme::current().alertBox);
  _box->layer().setCornerRadius(10);
  addSubview(_box);
  _titleLabel = std::make_shared<UILabel>();
  _titleLabel->setFont(UITheme::current().alertTitleFont);
  _messageLabel = std::make_shared<UILabel>();
  _messageLabel->setFont(UITheme::current().alertMessageFont);
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

UIAlertView::~UIAlertView() = default;

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

void UIAlertView::styleButton(UIButton& button, int) const {
  button.setBackgroundColor(UITheme::current().alertButton);
  button.layer().setCornerRadius(5);
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
  auto window = UIApplication::sharedApplication().keyWindow();
  if (!window) {
    Console::log("Alert \"" + _title + "\" not shown: there is no window");
    return;
  }
  presentInWindow(*window);
}

void UIAlertView::animateIn(std::function<void()> done) {
  setAlpha(0);
  UIView::animateWithDuration(
      kFadeDuration, [&] { setAlpha(1); }, [done](bool) { done(); });
}

void UIAlertView::animateOut(std::function<void()> done) {
  auto self = shared_from_this();
  UIView::animateWithDuration(
      kFadeDuration, [&] { setAlpha(0); },
      [self, done](bool) {
        self->setAlpha(1);  // ready to be shown again
        done();
      });
}

void UIAlertView::notify(Moment moment, int index) {
  auto d = delegate();
  if (!d) return;
  switch (moment) {
    case Moment::WillPresent:
      d->willPresentAlertView(*this);
      break;
    case Moment::DidPresent:
      d->didPresentAlertView(*this);
      break;
    case Moment::Clicked:
      d->alertViewClickedButtonAtIndex(*this, index);
      break;
    case Moment::WillDismiss:
      d->alertViewWillDismissWithButtonIndex(*this, index);
      break;
    case Moment::DidDismiss:
      d->alertViewDidDismissWithButtonIndex(*this, index);
      break;
  }
}

}  // namespace platform
