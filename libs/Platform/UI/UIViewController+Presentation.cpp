#include "Foundation/Console.h"
#include "UI/UIScreen.h"
#include "UI/UIViewController.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

// Where a modal view rests while hidden below the screen.
Point belowScreen(const UIView& view) {
  Rect screen = UIScreen::mainScreen().bounds();
  return Point{view.center().x, screen.size.height + view.bounds().size.height / 2};
}

bool slides(const UIViewController& controller) {
  return controller.modalTransitionStyle() ==
         UIViewController::UIModalTransitionStyle::CoverVertical;
}

}  // namespace

void UIViewController::presentViewController(std::shared_ptr<UIViewController> controller,
                                             bool animated, std::function<void()> completion) {
  if (!controller) return;
  UIViewController* presenter = this;
  while (presenter->_parent) presenter = presenter->_parent;
  if (presenter->_presented) {
    Console::log(presenter->className() + " already presents " +
                 presenter->_presented->className() + "; " + controller->className() +
                 " is not presented");
    return;
  }
  if (controller.get() == presenter || controller->_presenting || controller->_parent) {
    Console::log(controller->className() + " is already shown elsewhere; not presented");
    return;
  }
  UIWindow* window = presenter->isViewLoaded() ? presenter->view()->window() : nullptr;
  if (!window) {
    Console::log(presenter->className() + " is not on screen; " + controller->className() +
                 " is not presented");
    return;
  }
  presenter->_presented = controller;
  controller->_presenting = presenter;
  const auto& view = controller->view();
  Rect frame = presenter->view()->convertRectToView(presenter->view()->bounds(), window);
  view->setFrame(frame);
  window->addSubview(view);
  presenter->beginAppearanceTransition(false, animated);
  controller->beginAppearanceTransition(true, animated);

  std::weak_ptr<UIViewController> weakPresenter = presenter->weak_from_this();
  std::weak_ptr<UIViewController> weakPresented = controller;
  auto finish = [weakPresenter, weakPresented, completion](bool) {
    auto presented = weakPresented.lock();
    if (auto p = weakPresenter.lock()) {
      // Covered entirely: nothing of it needs drawing until the dismissal.
      if (p->_presented == presented && p->isViewLoaded()) p->view()->setHidden(true);
      p->endAppearanceTransition();
    }
    if (presented) presented->endAppearanceTransition();
    if (completion) completion();
  };
  if (animated && !slides(*controller)) {
    view->setAlpha(0);
    UIView::animateWithDuration(
        kModalTransitionDuration, 0, UIViewAnimationOptionCurveEaseOut, [&] { view->setAlpha(1); },
        finish);
  } else if (animated) {
    Point rest = view->center();
    view->setCenter(belowScreen(*view));
    UIView::animateWithDuration(
        kModalTransitionDuration, 0, UIViewAnimationOptionCurveEaseOut,
        [&] { view->setCenter(rest); }, finish);
  } else {
    finish(true);
  }
}

void UIViewController::dismissViewControllerAnimated(bool animated,
                                                     std::function<void()> completion) {
  UIViewController* presenter = nullptr;
  for (UIViewController* c = this; c && !presenter; c = c->_parent) {
    if (c->_presented)
      presenter = c;
    else if (c->_presenting)
      presenter = c->_presenting;
  }
  if (!presenter || !presenter->_presented) {
    Console::log(className() + ": nothing presented to dismiss");
    return;
  }
  std::shared_ptr<UIViewController> presented = presenter->_presented;
  if (presented->_dismissing) return;
  // Whatever the presented screen itself presents goes first, at once.
  if (presented->_presented) presented->dismissViewControllerAnimated(false);
  presented->_dismissing = true;
  if (presenter->isViewLoaded()) presenter->view()->setHidden(false);
  presented->beginAppearanceTransition(false, animated);
  presenter->beginAppearanceTransition(true, animated);

  std::weak_ptr<UIViewController> weakPresenter = presenter->weak_from_this();
  auto finish = [weakPresenter, presented, completion](bool) {
    if (presented->isViewLoaded()) presented->view()->removeFromSuperview();
    presented->_dismissing = false;
    UIViewController* formerPresenter = presented->_presenting;
    presented->_presenting = nullptr;
    auto p = weakPresenter.lock();
    if (p && p.get() == formerPresenter && p->_presented == presented) p->_presented.reset();
    presented->endAppearanceTransition();
    if (p) p->endAppearanceTransition();
    if (completion) completion();
  };
  if (animated && presented->isViewLoaded() && !slides(*presented)) {
    auto view = presented->view();
    UIView::animateWithDuration(
        kModalTransitionDuration, 0, UIViewAnimationOptionCurveEaseIn, [&] { view->setAlpha(0); },
        [view, finish](bool done) {
          view->setAlpha(1);  // ready to be presented again
          finish(done);
        });
  } else if (animated && presented->isViewLoaded()) {
    auto view = presented->view();
    Point rest = view->center();
    UIView::animateWithDuration(
        kModalTransitionDuration, 0, UIViewAnimationOptionCurveEaseIn,
        [&] { view->setCenter(belowScreen(*view)); },
        [view, rest, finish](bool done) {
          view->setCenter(rest);  // ready to be presented again
          finish(done);
        });
  } else {
    finish(true);
  }
}

}  // namespace platform
