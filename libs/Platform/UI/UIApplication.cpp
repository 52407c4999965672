#include "UI/UIApplication.h"

#include <algorithm>
#include <cctype>

#include "Foundation/Console.h"
#include "Foundation/DesktopLauncher.h"
#include "UI/Compositor.h"
#include "UI/TouchDispatcher.h"
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
  if (_touchHandler)
    _touchHandler(touch);
  else
    TouchDispatcher::shared().handleHostTouch(touch);
}

namespace {

// The desktop's opener, started without waiting for it. openURL has already made sure the
// link is one word starting with a scheme, so the opener cannot take it for an option.
bool launchDesktopOpener(const std::string& url) {
  return DesktopLauncher::launch({"xdg-open", url});
}

}  // namespace

bool UIApplication::canOpenURL(const std::string& url) {
  auto colon = url.find("://");
  if (colon == std::string::npos || colon + 3 >= url.size()) return false;
  std::string scheme = url.substr(0, colon);
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (scheme != "http" && scheme != "https") return false;
  // A link is one word: spaces and control characters mean it was never escaped.
  return std::none_of(url.begin(), url.end(),
                      [](unsigned char c) { return c <= ' ' || c == 0x7F; });
}

bool UIApplication::openURL(const std::string& url) {
  if (!canOpenURL(url)) {
    Console::log("Not opening \"" + url + "\": only http and https links open");
    return false;
  }
  bool opened = _urlOpener ? _urlOpener(url) : launchDesktopOpener(url);
  if (!opened) Console::log("Could not open " + url + ": the desktop's opener did not start");
  return opened;
}

void UIApplication::reset() {
  _delegate.reset();
  _keyWindow.reset();
  _state = UIApplicationState::Inactive;
  _launched = _terminated = false;
  _statusBarStyle = UIStatusBarStyle::Default;
  _statusBarHidden = false;
  _touchHandler = nullptr;
  _urlOpener = nullptr;
  TouchDispatcher::shared().reset();
  Compositor::setNeedsComposite();
}

}  // namespace platform
