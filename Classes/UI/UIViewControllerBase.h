#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "UI/UIButton.h"
#include "UI/UIViewController.h"

// The common base of the application's screens: opening screens by class name, the back
// action, the one orientation policy and the screen reports for analytics.
class UIViewControllerBase : public platform::UIViewController {
 public:
  std::string className() const override { return "UIViewControllerBase"; }

  // Pushes a new screen of the named class, loaded from its own interface file in the
  // default bundle (or the main bundle). A name no screen class answers to is a broken build:
  // the process says so on the console and exits with status -1.
  void pushViewControllerNamed(const std::string& name, bool animated,
                               bool useDefaultBundle = true);
  // Runs the back-action block when one is set, else pops this screen with animation.
  void goBack();
  std::function<void()> hideBlock() const;
  void setHideBlock(std::function<void()> block);

  // Every screen's interface file can connect "goBack".
  void registerActions(platform::ActionRegistry& actions) override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  // The application delegate decides when it keeps the policy; else the platform's default.
  bool shouldAutorotateToInterfaceOrientation(
      platform::UIInterfaceOrientation orientation) override;

  // Makes the button's background picture for `state` stretch about its middle: around the
  // middle column when `horizontal`, the middle row when `vertical`.
  static void stretchBtnsImages(platform::UIButton& button, bool vertical, bool horizontal,
                                platform::UIControlState state);
  // The same for the normal, highlighted and selected states.
  static void stretchBtnsImages(platform::UIButton& button, bool vertical, bool horizontal);

 private:
  mutable std::mutex _hideBlockMutex;
  std::function<void()> _hideBlock;
};
