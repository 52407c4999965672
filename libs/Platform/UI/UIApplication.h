#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Foundation/Value.h"
#include "Graphics/Geometry.h"
#include "UI/UIApplicationDelegate.h"
#include "UI/UIInterfaceOrientation.h"

namespace platform {

class UIWindow;

enum class UIApplicationState { Active = 0, Inactive = 1, Background = 2 };

// Numbered as the screens use them: 2 is the translucent black bar.
enum class UIStatusBarStyle { Default = 0, BlackOpaque = 1, BlackTranslucent = 2 };
enum class UIStatusBarAnimation { None = 0, Fade = 1, Slide = 2 };

// A touch as a host reports it, in the screen's points; the event part of the toolkit turns
// these into touches and gestures.
struct HostTouch {
  enum class Phase { Began, Moved, Ended, Cancelled };
  Phase phase;
  long identifier;
  Point location;
  double timestamp;
};

// The process's application object: its delegate, its key window, the lifecycle the hosts
// drive, and the status bar's state. Main thread only.
class UIApplication {
 public:
  static UIApplication& sharedApplication();

  const std::shared_ptr<UIApplicationDelegate>& delegate() const { return _delegate; }
  void setDelegate(std::shared_ptr<UIApplicationDelegate> delegate);
  const std::shared_ptr<UIWindow>& keyWindow() const { return _keyWindow; }
  void setKeyWindow(std::shared_ptr<UIWindow> window);
  UIApplicationState applicationState() const { return _state; }
  bool isLaunched() const { return _launched; }
  bool isTerminated() const { return _terminated; }

  // The lifecycle, each step told to the delegate; steps that do not fit the current state
  // (entering the background twice, anything after termination) are ignored.
  void launch(const Dictionary& options = {});
  void resignActive();
  void becomeActive();
  void enterBackground();
  void enterForeground();
  void terminate();
  void receiveMemoryWarning();

  UIStatusBarStyle statusBarStyle() const { return _statusBarStyle; }
  void setStatusBarStyle(UIStatusBarStyle style);
  bool isStatusBarHidden() const { return _statusBarHidden; }
  void setStatusBarHidden(bool hidden, UIStatusBarAnimation animation = UIStatusBarAnimation::None);

  // The orientations `window` may take: the delegate's answer, else those the screen on top
  // of the window accepts (portrait when there is none). The screen stays portrait-shaped on
  // these hosts; hosts that turn ask shouldRotateToOrientation first.
  UIInterfaceOrientationMask supportedInterfaceOrientationsForWindow(UIWindow* window);
  // Whether the key window may turn to `orientation`: it is supported and the screen on top
  // agrees.
  bool shouldRotateToOrientation(UIInterfaceOrientation orientation);
  UIInterfaceOrientation statusBarOrientation() const { return UIInterfaceOrientation::Portrait; }

  // Where the hosts send touches: the touch dispatcher unless a handler is installed.
  using TouchHandler = std::function<void(const HostTouch&)>;
  void setTouchHandler(TouchHandler handler) { _touchHandler = std::move(handler); }
  void handleHostTouch(const HostTouch& touch);

  // Links: http and https only, handed to the desktop's opener ("xdg-open") without waiting
  // for it. False, with a console message, for any other link or when the opener cannot run.
  bool openURL(const std::string& url);
  static bool canOpenURL(const std::string& url);
  // Replaces the desktop's opener (tests record the links instead); null restores it.
  using URLOpener = std::function<bool(const std::string& url)>;
  void setURLOpener(URLOpener opener) { _urlOpener = std::move(opener); }

  // Back to a fresh application (no delegate, no window, not launched): for tests.
  void reset();

 private:
  UIApplication() = default;
  std::shared_ptr<UIApplicationDelegate> _delegate;
  std::shared_ptr<UIWindow> _keyWindow;
  UIApplicationState _state = UIApplicationState::Inactive;
  bool _launched = false;
  bool _terminated = false;
  UIStatusBarStyle _statusBarStyle = UIStatusBarStyle::Default;
  bool _statusBarHidden = false;
  TouchHandler _touchHandler;
  URLOpener _urlOpener;
};

}  // namespace platform
