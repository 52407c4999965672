#pragma once

#include <memory>

#include "UI/UIView.h"
#include "UI/UIViewController.h"

namespace platform {

// The root of a shown view tree. The root view controller's view fills the window below the
// status bar.
class UIWindow : public UIView {
 public:
  using UIView::UIView;
  std::string className() const override { return "UIWindow"; }

  const std::shared_ptr<UIViewController>& rootViewController() const { return _root; }
  void setRootViewController(std::shared_ptr<UIViewController> controller);

  // Becomes the application's key window and is shown.
  void makeKeyAndVisible();
  bool isKeyWindow() const;

 private:
  std::shared_ptr<UIViewController> _root;
};

}  // namespace platform
