#include "UI/ButtonChoiceView.h"

#include <algorithm>

#include "UI/UIButton.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

// Alerts and sheets on screen, kept alive until they are dismissed.
std::vector<std::shared_ptr<UIView>>& shownViews() {
  static std::vector<std::shared_ptr<UIView>> shown;
  return shown;
}

}  // namespace

ButtonChoiceView::~ButtonChoiceView() {
  for (auto& button : _buttons) button->removeAllTargets();
}

int ButtonChoiceView::addButtonWithTitle(std::string title) {
  _titles.push_back(std::move(title));
  rebuildButtons();
  return numberOfButtons() - 1;
}

std::string ButtonChoiceView::buttonTitleAtIndex(int index) const {
  if (index < 0 || index >= numberOfButtons()) return {};
  return _titles[static_cast<size_t>(index)];
}

void ButtonChoiceView::setCancelButtonIndex(int index) {
  _cancelIndex = index >= 0 && index < numberOfButtons() ? index : -1;
  rebuildButtons();
}

int ButtonChoiceView::firstOtherButtonIndex() const {
  for (int i = 0; i < numberOfButtons(); ++i)
    if (isOtherButton(i)) return i;
  return -1;
}

UIButton* ButtonChoiceView::buttonAtIndex(int index) const {
  if (index < 0 || index >= static_cast<int>(_buttons.size())) return nullptr;
  return _buttons[static_cast<size_t>(index)].get();
}

void ButtonChoiceView::rebuildButtons() {
  for (auto& b : _buttons) {
    b->removeAllTargets();
    b->removeFromSuperview();
  }
  _buttons.clear();
  for (int i = 0; i < numberOfButtons(); ++i) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle(_titles[static_cast<size_t>(i)], UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    styleButton(*button, i);
    // The buttons' targets are removed when this goes, so `this` is alive when one runs.
    button->addTarget([this, i](UIControl&) { buttonTapped(i); }, UIControlEventTouchUpInside);
    buttonContainer().addSubview(button);
    _buttons.push_back(std::move(button));
  }
  setNeedsLayout();
}

void ButtonChoiceView::presentInWindow(UIWindow& window) {
  if (_visible) return;
  auto self = shared_from_this();
  notify(Moment::WillPresent, -1);
  _visible = true;
  shownViews().push_back(self);
  setFrame(window.bounds());
  window.addSubview(self);
  layoutIfNeeded();
  std::weak_ptr<UIView> weak = self;
  animateIn([this, weak] {
    // Dismissed before it was all in: nothing was presented to tell of.
    if (weak.lock() && _visible && !_dismissing) notify(Moment::DidPresent, -1);
  });
}

void ButtonChoiceView::buttonTapped(int index) {
  if (!_visible || _dismissing) return;
  auto self = shared_from_this();
  notify(Moment::Clicked, index);
  dismissWithClickedButtonIndex(index, true);
}

void ButtonChoiceView::dismissWithClickedButtonIndex(int index, bool animated) {
  if (!_visible || _dismissing) return;
  auto self = std::static_pointer_cast<ButtonChoiceView>(shared_from_this());
  _dismissing = true;
  notify(Moment::WillDismiss, index);
  auto finish = [self, index] {
    self->removeFromSuperview();
    self->_visible = false;
    self->_dismissing = false;
    std::erase(shownViews(), self);
    self->notify(Moment::DidDismiss, index);
  };
  if (animated)
    animateOut(finish);
  else
    finish();
}

}  // namespace platform
