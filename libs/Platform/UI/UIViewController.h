#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Bundle.h"
#include "UI/InterfaceOwner.h"
#include "UI/UIInterfaceOrientation.h"
#include "UI/UIResponder.h"
#include "UI/UIView.h"

namespace platform {

class UINavigationController;

// A screen's controller: owns the screen's root view, made on first use by loadView, and is
// told when that view appears and disappears. Containers (the navigation controller) hold
// child controllers; any controller can present another modally over the whole screen.
class UIViewController : public UIResponder,
                         public InterfaceOwner,
                         public std::enable_shared_from_this<UIViewController> {
 public:
  UIViewController() = default;
  ~UIViewController() override;
  UIViewController(const UIViewController&) = delete;
  UIViewController& operator=(const UIViewController&) = delete;

  virtual std::string className() const { return "UIViewController"; }

  // Loads the view when it is not loaded yet (loadView, then viewDidLoad).
  const std::shared_ptr<UIView>& view();
  void setView(std::shared_ptr<UIView> view);
  bool isViewLoaded() const { return _view != nullptr; }

  // The interface file to load the view from: `name` (nothing: the class's name) in `bundle`
  // (null: the main bundle). Call before the view is first used.
  void initWithNibName(std::optional<std::string> name, std::shared_ptr<Bundle> bundle);
  const std::optional<std::string>& nibName() const { return _nibName; }
  const std::shared_ptr<Bundle>& nibBundle() const { return _nibBundle; }

  // Loads "<nibName or class name>.ui" when the bundle has it (the view bound to the "view"
  // outlet, else the file's first top-level view), with this controller as the owner; else,
  // or when the file is bad (a console message says why), a plain view the size of the
  // screen's application frame.
  virtual void loadView();
  virtual void viewDidLoad() {}
  // Outlets of interface files; subclasses add theirs and call this.
  void registerOutlets(OutletRegistry& outlets) override;
  // A screen can go while someone keeps its view: its actions then no longer run.
  std::weak_ptr<const void> ownerLifetime() const override { return weak_from_this(); }

  // Appearance, in this order: viewWillAppear, viewDidAppear, viewWillDisappear,
  // viewDidDisappear; `animated` tells whether a transition shows it.
  virtual void viewWillAppear(bool /*animated*/) {}
  virtual void viewDidAppear(bool /*animated*/) {}
  virtual void viewWillDisappear(bool /*animated*/) {}
  virtual void viewDidDisappear(bool /*animated*/) {}
  // Containers and the window call these; repeated calls for the same change are ignored.
  void beginAppearanceTransition(bool appearing, bool animated);
  void endAppearanceTransition();
  enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
  Appearance appearance() const { return _appearance; }

  // Shown in the navigation bar while this screen is on top, and on the next screen's back
  // button.
  const std::string& title() const { return _title; }
  void setTitle(std::string title);

  // The container holding this controller, and the nearest navigation controller above it.
  UIViewController* parentViewController() const { return _parent; }

  // A screen shown inside this one's view: it presents through this one and, while its view
  // is in this one's view tree, appears and disappears with it. Refused (with a console
  // message) for a controller that already has a container.
  void addChildViewController(std::shared_ptr<UIViewController> child);
  // Leaves the container it was added to; its view stays where it is.
  void removeFromParentViewController();
  const std::vector<std::shared_ptr<UIViewController>>& childViewControllers() const {
    return _children;
  }
  UINavigationController* navigationController() const;

  // Modal presentation over the whole screen (the application frame), sliding up from the
  // bottom when animated. The controller at the root of this one's containers presents; one
  // presentation at a time. `completion` runs once it is shown.
  void presentViewController(std::shared_ptr<UIViewController> controller, bool animated,
                             std::function<void()> completion = nullptr);
  void presentModalViewController(std::shared_ptr<UIViewController> controller, bool animated) {
    presentViewController(std::move(controller), animated);
  }
  // On the presenter or on the presented controller: the presented one slides away.
  void dismissViewControllerAnimated(bool animated, std::function<void()> completion = nullptr);
  void dismissModalViewControllerAnimated(bool animated) {
    dismissViewControllerAnimated(animated);
  }
  const std::shared_ptr<UIViewController>& presentedViewController() const { return _presented; }
  const std::shared_ptr<UIViewController>& modalViewController() const { return _presented; }
  UIViewController* presentingViewController() const { return _presenting; }
  static constexpr double kModalTransitionDuration = 0.3;
  // How this controller comes and goes when presented: sliding up from the bottom, or
  // fading in over the presenter. The flip and the page curl fade as well.
  enum class UIModalTransitionStyle {
    CoverVertical = 0,
    FlipHorizontal = 1,
    CrossDissolve = 2,
    PartialCurl = 3
  };
  UIModalTransitionStyle modalTransitionStyle() const { return _modalTransitionStyle; }
  void setModalTransitionStyle(UIModalTransitionStyle style) { _modalTransitionStyle = style; }

  // Portrait only unless a screen says otherwise.
  virtual bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) {
    return orientation == UIInterfaceOrientation::Portrait;
  }

  // Touches its view did not handle go on to the view's parent.
  UIResponder* nextResponder() const override;

 protected:
  // The child that appears and disappears with this controller (a container's visible one).
  virtual UIViewController* appearanceChild() const { return nullptr; }

 private:
  friend class UINavigationController;
  std::shared_ptr<UIView> _view;
  std::shared_ptr<UIView> _nibView;
  std::optional<std::string> _nibName;
  std::shared_ptr<Bundle> _nibBundle;
  Appearance _appearance = Appearance::Disappeared;
  bool _appearanceAnimated = false;
  UIViewController* _parent = nullptr;
  std::vector<std::shared_ptr<UIViewController>> _children;
  // The children whose views are in this one's view tree, then the container's own child.
  std::vector<std::shared_ptr<UIViewController>> appearanceChildren() const;
  std::string _title;
  UIModalTransitionStyle _modalTransitionStyle = UIModalTransitionStyle::CoverVertical;
  std::shared_ptr<UIViewController> _presented;
  UIViewController* _presenting = nullptr;  // cleared on dismissal or when the presenter goes
  bool _dismissing = false;
};

}  // namespace platform
