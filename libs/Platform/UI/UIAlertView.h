#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UI/UIView.h"

namespace platform {

class UIAlertView;
class UIButton;
class UILabel;

// Told which button closed an alert; every call is optional.
class UIAlertViewDelegate {
 public:
  virtual ~UIAlertViewDelegate() = default;
  virtual void alertViewClickedButtonAtIndex(UIAlertView&, int /*buttonIndex*/) {}
  virtual void willPresentAlertView(UIAlertView&) {}
  virtual void didPresentAlertView(UIAlertView&) {}
  virtual void alertViewWillDismissWithButtonIndex(UIAlertView&, int /*buttonIndex*/) {}
  virtual void alertViewDidDismissWithButtonIndex(UIAlertView&, int /*buttonIndex*/) {}
};

// A message in a box over the dimmed screen, closed by one of its buttons. The cancel button
// (when given) has index 0 and the others follow in order. Shown alerts keep themselves alive
// until dismissed; the delegate is not owned, and one that is gone by then is not told.
class UIAlertView : public UIView {
 public:
  UIAlertView(std::string title, std::string message, std::weak_ptr<UIAlertViewDelegate> delegate,
              std::optional<std::string> cancelButtonTitle,
              std::vector<std::string> otherButtonTitles = {});
  ~UIAlertView() override;
  std::string className() const override { return "UIAlertView"; }

  static constexpr double kBoxWidth = 284;
  static constexpr double kButtonHeight = 44;
  static constexpr double kFadeDuration = 0.2;

  const std::string& title() const { return _title; }
  void setTitle(std::string title);
  const std::string& message() const { return _message; }
  void setMessage(std::string message);
  std::shared_ptr<UIAlertViewDelegate> delegate() const { return _delegate.lock(); }
  void setDelegate(std::weak_ptr<UIAlertViewDelegate> delegate) { _delegate = std::move(delegate); }

  // The new button's index.
  int addButtonWithTitle(std::string title);
  int numberOfButtons() const { return static_cast<int>(_titles.size()); }
  std::string buttonTitleAtIndex(int index) const;
  int cancelButtonIndex() const { return _cancelIndex; }
  void setCancelButtonIndex(int index);
  // -1 when there are only a cancel button or none.
  int firstOtherButtonIndex() const;
  // The button drawn for an index, or null.
  UIButton* buttonAtIndex(int index) const;

  bool isVisible() const { return _visible; }
  // Over the key window, fading in; nothing (with a message) without a key window.
  void show();
  // Closes it as if the button had been chosen, without the clicked call.
  void dismissWithClickedButtonIndex(int index, bool animated);

  void layoutSubviews() override;

 private:
  void rebuildButtons();
  void buttonTapped(int index);

  std::string _title;
  std::string _message;
  std::weak_ptr<UIAlertViewDelegate> _delegate;
  std::vector<std::string> _titles;
  int _cancelIndex = -1;
  bool _visible = false;
  bool _dismissing = false;
  std::shared_ptr<UIView> _box;
  std::shared_ptr<UILabel> _titleLabel;
  std::shared_ptr<UILabel> _messageLabel;
  std::vector<std::shared_ptr<UIButton>> _buttons;
};

}  // namespace platform
