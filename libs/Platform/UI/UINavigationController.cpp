#include "UI/UINavigationController.h"

#include <algorithm>

#include "Foundation/Console.h"
#include "UI/CATransition.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UIScreen.h"
#include "UI/UITheme.h"

namespace platform {

UINavigationController::UINavigationController(std::shared_ptr<UIViewController> root) {
  if (root) setViewControllers({std::move(root)}, false);
}

UINavigationController::~UINavigationController() {
  if (_timer) RunLoop::main().cancel(_timer);
  for (auto& c : _stack)
    if (c->_parent == this) c->_parent = nullptr;
}

UIViewController* UINavigationController::topViewController() const {
  return _stack.empty() ? nullptr : _stack.back().get();
}

UIViewController* UINavigationController::visibleViewController() const {
  UIViewController* top = topViewController();
  if (top && top->presentedViewController()) return top->presentedViewController().get();
  return top;
}

namespace {

// The navigation controller's view: resized, it fits the bar and the top screen to its size.
class NavigationContainerView : public UIView {
 public:
  NavigationContainerView(Rect frame, std::function<void()> layout)
      : UIView(frame), _layout(std::move(layout)) {}
  void layoutSubviews() override { _layout(); }

 private:
  std::function<void()> _layout;
};

}  // namespace

void UINavigationController::layoutContainer() {
  if (!_bar || !_titleLabel) return;
  double width = view()->bounds().size.width;
  _bar->setFrame(Rect(0, 0, width, kNavigationBarHeight));
  _titleLabel->setFrame(
      Rect(kTitleMargin, 0, std::max(0.0, width - 2 * kTitleMargin), kNavigationBarHeight));
  updateNavigationBar();
  if (UIViewController* top = topViewController(); top && top->isViewLoaded())
    top->view()->setFrame(contentFrame());
}

void UINavigationController::loadView() {
  // Weak: a view kept elsewhere after the controller went has nothing left to lay out.
  std::weak_ptr<UIViewController> weak = weak_from_this();
  setView(
      std::make_shared<NavigationContainerView>(UIScreen::mainScreen().applicationFrame(), [weak] {
        if (auto self = std::static_pointer_cast<UINavigationController>(weak.lock()))
          self->layoutContainer();
      }));
  const auto& container = view();
  container->setClipsToBounds(true);
  // Frames come from layoutContainer() at the end, as on every resize.
  _bar = std::make_shared<UIView>();
  _bar->setBackgroundColor(UITheme::current().navigationBar);
  _bar->setHidden(_barHidden);
  container->addSubview(_bar);
  _titleLabel = std::make_shared<UILabel>();
  _titleLabel->setFont(UITheme::current().barTitleFont);
  _titleLabel->setTextColor(UIColor::whiteColor());
  _titleLabel->setTextAlignment(NSTextAlignment::Center);
  _titleLabel->setBackgroundColor(std::nullopt);
  _bar->addSubview(_titleLabel);
  _backButton = UIButton::buttonWithType(UIButtonType::Custom);
  _backButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
  _backButton->setBackgroundColor(UITheme::current().navigationBackButton);
  _backButton->layer().setCornerRadius(5);
  _backButton->addTarget(
      [weak](UIControl&) {
        if (auto self = std::static_pointer_cast<UINavigationController>(weak.lock()))
          self->popViewControllerAnimated(true);
      },
      UIControlEventTouchUpInside);
  _bar->addSubview(_backButton);
  if (UIViewController* top = topViewController())
    container->insertSubviewBelowSubview(top->view(), _bar.get());
  layoutContainer();
}

Rect UINavigationController::contentFrame() const {
  Rect b = isViewLoaded() ? const_cast<UINavigationController*>(this)->view()->bounds()
                          : UIScreen::mainScreen().applicationFrame();
  double top = _barHidden ? 0 : kNavigationBarHeight;
  return Rect(b.origin.x, b.origin.y + top, b.size.width, b.size.height - top);
}

void UINavigationController::setNavigationBarHidden(bool hidden, bool) {
  if (hidden == _barHidden) return;
  _barHidden = hidden;
  if (!isViewLoaded()) return;
  _bar->setHidden(hidden);
  if (UIViewController* top = topViewController()) top->view()->setFrame(contentFrame());
}

void UINavigationController::updateNavigationBar() {
  if (!_titleLabel) return;
  UIViewController* top = topViewController();
  _titleLabel->setText(top ? top->title() : "");
  bool below = _stack.size() > 1;
  _backButton->setHidden(!below);
  if (!below) return;
  const std::string& previous = _stack[_stack.size() - 2]->title();
  _backButton->setTitle("\u2039 " + (previous.empty() ? std::string("Back") : previous),
                        UIControlStateNormal);
  // As wide as its title needs, up to the title's margin.
  double width = _backButton->sizeThatFits(Size{1000, kNavigationBarHeight}).width + 16;
  double widest = _titleLabel->frame().origin.x - 10;
  _backButton->setFrame(
      Rect(6, 7, std::clamp(width, 50.0, std::max(50.0, widest)), kNavigationBarHeight - 14));
}

void UINavigationController::finishPendingTransition() {
  if (_timer) RunLoop::main().cancel(_timer);
  _timer = 0;
  if (auto finish = std::move(_pendingFinish)) {
    _pendingFinish = nullptr;
    finish();
  }
}

void UINavigationController::transition(std::shared_ptr<UIViewController> from,
                                        std::shared_ptr<UIViewController> to, bool animated,
                                        const std::string& subtype) {
  finishPendingTransition();
  if (!isViewLoaded()) return;  // shown when the view loads
  bool onScreen = appearance() == Appearance::Appeared || appearance() == Appearance::Appearing;
  animated = animated && onScreen;
  const auto& container = view();
  if (animated) {
    // Added first: the transition keeps the look from before the change as its start.
    auto push = CATransition::animation();
    push->setType(kCATransitionPush);
    push->setSubtype(subtype);
    push->setDuration(kTransitionDuration);
    push->setTimingFunction(CAMediaTimingFunction::EaseInEaseOut);
    container->layer().addAnimation(push, "navigation");
  }
  if (to) to->view();  // loaded before anyone is told of the change
  if (onScreen && from) from->beginAppearanceTransition(false, animated);
  if (to) {
    to->view()->setFrame(contentFrame());
    container->insertSubviewBelowSubview(to->view(), _bar.get());
    if (onScreen) to->beginAppearanceTransition(true, animated);
  }
  if (from && from != to && from->isViewLoaded() && from->view()->superview() == container.get())
    from->view()->removeFromSuperview();
  updateNavigationBar();
  auto finish = [from, to, onScreen] {
    if (!onScreen) return;
    if (from) from->endAppearanceTransition();
    if (to) to->endAppearanceTransition();
  };
  if (!animated) {
    finish();
    return;
  }
  _pendingFinish = finish;
  std::weak_ptr<UIViewController> weak = weak_from_this();
  _timer = RunLoop::main().schedule(kTransitionDuration, [this, weak] {
    if (!weak.lock()) return;
    _timer = 0;
    finishPendingTransition();
  });
}

void UINavigationController::pushViewController(std::shared_ptr<UIViewController> controller,
                                                bool animated) {
  if (!controller) return;
  if (controller.get() == this || controller->_parent ||
      std::find(_stack.begin(), _stack.end(), controller) != _stack.end()) {
    Console::log("Navigation: " + controller->className() +
                 " is already in a container; not pushed");
    return;
  }
  std::shared_ptr<UIViewController> from = _stack.empty() ? nullptr : _stack.back();
  _stack.push_back(controller);
  controller->_parent = this;
  transition(from, controller, animated, kCATransitionFromRight);
}

std::shared_ptr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
  if (_stack.size() < 2) return nullptr;
  auto popped = _stack.back();
  _stack.pop_back();
  popped->_parent = nullptr;
  transition(popped, _stack.back(), animated, kCATransitionFromLeft);
  return popped;
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToViewController(
    const UIViewController* controller, bool animated) {
  auto it = std::find_if(_stack.begin(), _stack.end(),
                         [&](const auto& c) { return c.get() == controller; });
  if (it == _stack.end() || it + 1 == _stack.end()) return {};
  std::vector<std::shared_ptr<UIViewController>> popped(it + 1, _stack.end());
  _stack.erase(it + 1, _stack.end());
  for (auto& c : popped) c->_parent = nullptr;
  // Only the top one was on screen.
  transition(popped.back(), _stack.back(), animated, kCATransitionFromLeft);
  return popped;
}

std::vector<std::shared_ptr<UIViewController>>
UINavigationController::popToRootViewControllerAnimated(bool animated) {
  if (_stack.empty()) return {};
  return popToViewController(_stack.front().get(), animated);
}

void UINavigationController::setViewControllers(
    std::vector<std::shared_ptr<UIViewController>> controllers, bool animated) {
  std::erase_if(controllers, [](const auto& c) { return !c; });
  std::shared_ptr<UIViewController> from = _stack.empty() ? nullptr : _stack.back();
  for (auto& c : _stack) c->_parent = nullptr;
  _stack = std::move(controllers);
  for (auto& c : _stack) c->_parent = this;
  std::shared_ptr<UIViewController> to = _stack.empty() ? nullptr : _stack.back();
  if (from == to) return;
  transition(from, to, animated, kCATransitionFromRight);
}

}  // namespace platform
