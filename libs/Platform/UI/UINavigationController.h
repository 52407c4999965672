#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Foundation/RunLoop.h"
#include "UI/UIViewController.h"

namespace platform {

class UIButton;
class UILabel;

// A stack of screens, the top one shown. Pushing slides the new screen in from the right with
// a push transition, popping slides the previous one back from the left; the screens are told
// of their appearance in the toolkit's order (the leaving one's will-disappear, the arriving
// one's will-appear, then the two did- calls when the transition ends). The navigation bar is
// a 44-point strip at the top, shown only when not hidden, with the top screen's title and,
// below the root, a back button named after the screen beneath that pops with animation.
class UINavigationController : public UIViewController {
 public:
  UINavigationController() = default;
  explicit UINavigationController(std::shared_ptr<UIViewController> root);
  ~UINavigationController() override;
  std::string className() const override { return "UINavigationController"; }

  static constexpr double kTransitionDuration = 0.35;
  static constexpr double kNavigationBarHeight = 44;
  // The title keeps this far from either end of the bar, leaving room for the back button.
  static constexpr double kTitleMargin = 96;

  const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return _stack; }
  void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers,
                          bool animated);
  UIViewController* topViewController() const;
  // The top screen, or what it presents.
  UIViewController* visibleViewController() const;

  void pushViewController(std::shared_ptr<UIViewController> controller, bool animated);
  // The screen popped, or null when only the root is left.
  std::shared_ptr<UIViewController> popViewControllerAnimated(bool animated);
  std::vector<std::shared_ptr<UIViewController>> popToRootViewControllerAnimated(bool animated);
  std::vector<std::shared_ptr<UIViewController>> popToViewController(
      const UIViewController* controller, bool animated);

  bool isNavigationBarHidden() const { return _barHidden; }
  void setNavigationBarHidden(bool hidden, bool animated = false);
  UIView* navigationBar() const { return _bar.get(); }
  // The bar's title and back button; the button is hidden at the root.
  UILabel* navigationBarTitleLabel() const { return _titleLabel.get(); }
  UIButton* backButton() const { return _backButton.get(); }
  // Shows the top screen's title and the back button for the screen beneath.
  void updateNavigationBar();

  void loadView() override;

 protected:
  UIViewController* appearanceChild() const override { return topViewController(); }

 private:
  Rect contentFrame() const;
  // Fits the bar and the top screen to the view's size.
  void layoutContainer();
  // Shows `to` in place of `from` (either may be null).
  void transition(std::shared_ptr<UIViewController> from, std::shared_ptr<UIViewController> to,
                  bool animated, const std::string& subtype);
  void finishPendingTransition();

  std::vector<std::shared_ptr<UIViewController>> _stack;
  std::shared_ptr<UIView> _bar;
  std::shared_ptr<UILabel> _titleLabel;
  std::shared_ptr<UIButton> _backButton;
  bool _barHidden = false;
  RunLoop::TimerId _timer = 0;
  std::function<void()> _pendingFinish;
};

}  // namespace platform
