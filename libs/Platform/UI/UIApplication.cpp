#include "UI/UIApplication.h"

#include "UI/Compositor.h"
#include "UI/UIWindow.h"

namespace platform {

UIApplication& UIApplication::sharedApplication() {
  static UIApplication application;
  return application;
}

void UIApplication::setDelegate(std::shared_ptr<UIApplicationDelegate> delegate) {
  _delegate = std::move(delegate);
}

void UIApplication::setKeyWindow(std::shared_ptr<UIWindow> window) {
  _keyWindow = std::move(window);
  Compositor::setNeedsComposite();
}

void UIApplication::launch(const Dictionary& options) {
  if (_launched || _terminated) return;
  _launched = true;
  if (_delegate) _delegate->applicationDidFinishLaunching(*this, options);
  becomeActive();
}

void UIApplication::resignActive() {
  if (!_launched || _terminated || _state != UIApplicationState::Active) return;
  _state = UIApplicationState::Inactive;
  if (_delegate) _delegate->applicationWillResignActive(*this);
}

void UIApplication::becomeActive() {
  if (!_launched || _terminated || _state != UIApplicationState::Inactive) return;
  _state = UIApplicationState::Active;
  if (_delegate) _delegate->applicationDidBecomeActive(*this);
}

void UIApplication::enterBackground() {
  if (!_launched || _terminated || _state == UIApplicationState::Background) return;
  resignActive();
  _state = UIApplicationState::Background;
  if (_delegate) _delegate->applicationDidEnterBackground(*this);
}

void UIApplication::enterForeground() {
  if (!_launched || _terminated || _state != UIApplicationState::Background) return;
  _state = UIApplicationState::Inactive;
  if (_delegate) _delegate->applicationWillEnterForeground(*this);
  becomeActive();
}

void UIApplication::terminate() {
  if (!_launched || _terminated) return;
  resignActive();
  _terminated = true;
  if (_delegate) _delegate->applicationWillTerminate(*this);
}

void UIApplication::receiveMemoryWarning() {
  if (_launched && !_terminated && _delegate) _delegate->applicationDidReceiveMemoryWarning(*this);
}

void UIApplication::setStatusBarStyle(UIStatusBarStyle style) {
  if (style == _statusBarStyle) return;
  _statusBarStyle = style;
  Compositor::setNeedsComposite();
}

void UIApplication::setStatusBarHidden(bool hidden, UIStatusBarAnimation) {
  if (hidden == _statusBarHidden) return;
  _statusBarHidden = hidden;
  Compositor::setNeedsComposite();
}

void UIApplication::handleHostTouch(const HostTouch& touch) {
  if (_touchHandler) _touchHandler(touch);
}

void UIApplication::reset() {
  _delegate.reset();
  _keyWindow.reset();
  _state = UIApplicationState::Inactive;
  _launched = _terminated = false;
  _statusBarStyle = UIStatusBarStyle::Default;
  _statusBarHidden = false;
  _touchHandler = nullptr;
  Compositor::setNeedsComposite();
}

}  // namespace platform
