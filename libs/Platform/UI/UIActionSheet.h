#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UI/ButtonChoiceView.h"

namespace platform {

class UIActionSheet;
class UILabel;

// Told which button closed a sheet; every call is optional.
class UIActionSheetDelegate {
 public:
  virtual ~UIActionSheetDelegate() = default;
  virtual void actionSheetClickedButtonAtIndex(UIActionSheet&, int /*buttonIndex*/) {}
  virtual void willPresentActionSheet(UIActionSheet&) {}
  virtual void didPresentActionSheet(UIActionSheet&) {}
  virtual void actionSheetWillDismissWithButtonIndex(UIActionSheet&, int /*buttonIndex*/) {}
  virtual void actionSheetDidDismissWithButtonIndex(UIActionSheet&, int /*buttonIndex*/) {}
};

// A choice of actions sliding up from the bottom of the screen over a dimmed backdrop. Button
// indexes: the destructive button first (when given), then the others in order, the cancel
// button last; addButtonWithTitle appends. Shown sheets keep themselves alive until
// dismissed; the delegate is not owned, and one that is gone by then is not told.
class UIActionSheet : public ButtonChoiceView {
 public:
  UIActionSheet(std::string title, std::weak_ptr<UIActionSheetDelegate> delegate,
                std::optional<std::string> cancelButtonTitle,
                std::optional<std::string> destructiveButtonTitle,
                std::vector<std::string> otherButtonTitles = {});
  ~UIActionSheet() override;
  std::string className() const override { return "UIActionSheet"; }

  static constexpr double kButtonHeight = 44;
  static constexpr double kSlideDuration = 0.3;

  const std::string& title() const { return _title; }
  void setTitle(std::string title);
  std::shared_ptr<UIActionSheetDelegate> delegate() const { return _delegate.lock(); }
  void setDelegate(std::weak_ptr<UIActionSheetDelegate> delegate) {
    _delegate = std::move(delegate);
  }

  int destructiveButtonIndex() const { return _destructiveIndex; }
  void setDestructiveButtonIndex(int index);

  // Over the window of `view` (the key window when null), sliding up.
  void showInView(UIView* view);

  void layoutSubviews() override;

 protected:
  void notify(Moment moment, int buttonIndex) override;
  UIView& buttonContainer() override { return *_panel; }
  void styleButton(UIButton& button, int index) const override;
  bool isOtherButton(int index) const override {
    return index != _cancelIndex && index != _destructiveIndex;
  }
  void animateIn(std::function<void()> done) override;
  void animateOut(std::function<void()> done) override;

 private:
  Rect panelFrame() const;

  std::string _title;
  std::weak_ptr<UIActionSheetDelegate> _delegate;
  int _destructiveIndex = -1;
  std::shared_ptr<UIView> _panel;
  std::shared_ptr<UILabel> _titleLabel;
};

}  // namespace platform
