#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "UI/UIView.h"

namespace platform {

class UIButton;
class UIWindow;

// What alerts and action sheets share: a list of titled buttons with indexes, one of which may
// be the cancel button, shown over a whole window until one is chosen. A shown view keeps
// itself alive until it is dismissed. Subclasses place and style the buttons, animate in and
// out, and pass each moment on to their own delegate.
class ButtonChoiceView : public UIView {
 public:
  ~ButtonChoiceView() override;

  // The new button's index.
  int addButtonWithTitle(std::string title);
  int numberOfButtons() const { return static_cast<int>(_titles.size()); }
  std::string buttonTitleAtIndex(int index) const;
  int cancelButtonIndex() const { return _cancelIndex; }
  // An index outside the buttons means none.
  void setCancelButtonIndex(int index);
  // The first button that is neither cancel nor otherwise special; -1 when there is none.
  int firstOtherButtonIndex() const;
  // The button drawn for an index, or null.
  UIButton* buttonAtIndex(int index) const;

  bool isVisible() const { return _visible; }
  // Closes it as if the button had been chosen, without the clicked call.
  void dismissWithClickedButtonIndex(int index, bool animated);

 protected:
  enum class Moment { WillPresent, DidPresent, Clicked, WillDismiss, DidDismiss };

  ButtonChoiceView() = default;
  // Tells the subclass's delegate, when it still exists.
  virtual void notify(Moment moment, int buttonIndex) = 0;
  // Where the buttons go, and how one looks.
  virtual UIView& buttonContainer() = 0;
  virtual void styleButton(UIButton& button, int index) const = 0;
  virtual bool isOtherButton(int index) const { return index != _cancelIndex; }
  // The animations; each calls `done` when it is over (at once when it cannot animate).
  virtual void animateIn(std::function<void()> done) = 0;
  virtual void animateOut(std::function<void()> done) = 0;

  // Makes the buttons again from the titles.
  void rebuildButtons();
  // Covers `window`, lays out and animates in.
  void presentInWindow(UIWindow& window);

  std::vector<std::string> _titles;
  int _cancelIndex = -1;
  std::vector<std::shared_ptr<UIButton>> _buttons;

 private:
  void buttonTapped(int index);

  bool _visible = false;
  bool _dismissing = false;
};

}  // namespace platform
