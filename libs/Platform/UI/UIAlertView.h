#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UI/ButtonChoiceView.h"

namespace platform {

class UIAlertView;
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
class UIAlertView : public ButtonChoiceView {
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

  // Over the key window, fading in; nothing (with a message) without a key window.
  void show();

  void layoutSubviews() override;

 protected:
  void notify(Moment moment, int buttonIndex) override;
  UIView& buttonContainer() override { return *_box; }
  void styleButton(UIButton& button, int index) const override;
  void animateIn(std::function<void()> done) override;
  void animateOut(std::function<void()> done) override;

 private:
  std::string _title;
  std::string _message;
  std::weak_ptr<UIAlertViewDelegate> _delegate;
  std::shared_ptr<UIView> _box;
  std::shared_ptr<UILabel> _titleLabel;
  std::shared_ptr<UILabel> _messageLabel;
};

}  // namespace platform
