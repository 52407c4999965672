#include <gtest/gtest.h>

#include "Foundation/RunLoop.h"
#include "TouchTestSupport.h"
#include "UI/TouchDispatcher.h"
#include "UI/UIButton.h"
#include "UI/UIPageControl.h"
#include "UI/UIPanGestureRecognizer.h"
#include "UI/UIViewController.h"

using namespace platform;
using namespace platform::testing;

using TouchDeliveryTest = TouchTest;

TEST_F(TouchDeliveryTest, TouchesReachTheViewHitWithItsOwnCoordinatesAndTheClock) {
  auto view = std::make_shared<RecordingView>(Rect(100, 200, 50, 50));
  view->setTransform(AffineTransform::makeScale(2, 2));  // frame now (75, 175, 100, 100)
  window->addSubview(view);
  double start = RunLoop::main().now();
  host->touchDown(Point{80, 180});
  host->advanceBy(0.1);
  host->touchMove(Point{125, 225});
  host->advanceBy(0.1);
  host->touchUp();
  EXPECT_EQ(view->joined(), "began moved ended");
  EXPECT_NEAR(view->locations[0].x, 2.5, 1e-9);
  EXPECT_NEAR(view->locations[0].y, 2.5, 1e-9);
  EXPECT_NEAR(view->locations[1].x, 25, 1e-9);
  EXPECT_NEAR(view->timestamps[0], start, 1e-9);
  EXPECT_NEAR(view->timestamps[2], start + 0.2, 1e-9);
  EXPECT_EQ(TouchDispatcher::shared().activeTouchCount(), 0u);
}

TEST_F(TouchDeliveryTest, UnhandledTouchesGoUpTheResponderChainThroughControllers) {
  class Controller : public UIViewController {
   public:
    void touchesEnded(const UITouchSet&, UIEvent*) override { ++ended; }
    int ended = 0;
  };
  auto parent = std::make_shared<RecordingView>(Rect(0, 0, 320, 300));
  parent->addSubview(std::make_shared<UIView>(Rect(10, 10, 100, 100)));
  window->addSubview(parent);
  host->tap(Point{50, 50});
  EXPECT_EQ(parent->joined(), "began ended");
  EXPECT_NEAR(parent->locations[0].x, 50, 1e-9);
  host->tap(Point{200, 400});  // outside both: the window takes it and nobody records
  EXPECT_EQ(parent->calls.size(), 2u);
  // A controller's root view passes them to its controller before its superview.
  auto controller = std::make_shared<Controller>();
  parent->addSubview(controller->view());
  host->advanceBy(1);
  host->tap(Point{100, 100});
  EXPECT_EQ(controller->ended, 1);
  EXPECT_EQ(parent->joined(), "began ended began");  // the controller handled the end itself
}

TEST_F(TouchDeliveryTest, ButtonIsHighlightedWhilePressedInsideAndSendsTouchUpInside) {
  auto button = UIButton::buttonWithType(UIButtonType::Custom);
  button->setFrame(Rect(50, 50, 100, 44));
  window->addSubview(button);
  std::vector<std::string> events;
  for (auto [name, event] : {std::pair{"down", UIControlEventTouchDown},
                             {"upInside", UIControlEventTouchUpInside},
                             {"upOutside", UIControlEventTouchUpOutside},
                             {"exit", UIControlEventTouchDragExit}})
    button->addTarget([&events, name](UIControl&) { events.push_back(name); }, event);

  host->touchDown(Point{60, 60});
  EXPECT_TRUE(button->isHighlighted());
  host->touchMove(Point{100, 80});
  EXPECT_TRUE(button->isHighlighted());
  host->touchUp();
  EXPECT_FALSE(button->isHighlighted());

  host->touchDown(Point{60, 60});
  host->touchMove(Point{300, 500});  // far beyond the slop around the button
  EXPECT_FALSE(button->isHighlighted());
  host->touchUp();
  EXPECT_EQ(events, (std::vector<std::string>{"down", "upInside", "down", "exit", "upOutside"}));

  button->setEnabled(false);
  events.clear();
  host->tap(Point{60, 60});
  EXPECT_TRUE(events.empty());
}

TEST_F(TouchDeliveryTest, PageControlTapsTurnPagesAndSendValueChanged) {
  auto control = std::make_shared<UIPageControl>(Rect(0, 500, 320, 36));
  control->setNumberOfPages(3);
  window->addSubview(control);
  int changes = 0;
  control->addTarget([&](UIControl&) { ++changes; }, UIControlEventValueChanged);
  // Right of the dots turns forward, left back; the third tap is already on the last page.
  for (auto [x, page] : {std::pair{300, 1}, {300, 2}, {300, 2}, {10, 1}}) {
    host->tap(Point{double(x), 510});
    host->advanceBy(1);
    EXPECT_EQ(control->currentPage(), page) << x;
  }
  EXPECT_EQ(changes, 3);
}

TEST_F(TouchDeliveryTest, QuickTapsCountUpAndBadHostInputIsIgnoredWithoutHarm) {
  auto view = std::make_shared<RecordingView>(Rect(0, 0, 320, 568));
  window->addSubview(view);
  // Near taps in quick succession count up; a pause or a far tap starts again.
  for (auto [x, y, pause] : {std::tuple{100, 100, 0.1},
                             {105, 102, 0.1},
                             {104, 100, 1.0},
                             {104, 100, 0.1},
                             {250, 400, 0.0}}) {
    host->tap(Point{double(x), double(y)});
    host->advanceBy(pause);
  }
  std::vector<int> begans;
  for (size_t i = 0; i < view->calls.size(); ++i)
    if (view->calls[i] == "began") begans.push_back(view->tapCounts[i]);
  EXPECT_EQ(begans, (std::vector<int>{1, 2, 3, 1, 1}));
  view->calls.clear();
  host->advanceBy(1);
  host->touchUp(7);                 // never down: a console message only
  host->touchMove(Point{1, 1}, 7);  // likewise
  UIApplication::sharedApplication().handleHostTouch(
      HostTouch{HostTouch::Phase::Moved, 42, Point{5, 5}, 0});
  host->touchDown(Point{10, 10});
  // The same finger again: the first touch is cancelled before the new one begins.
  UIApplication::sharedApplication().handleHostTouch(
      HostTouch{HostTouch::Phase::Began, 0, Point{20, 20}, RunLoop::main().now()});
  host->touchUp();
  EXPECT_EQ(view->joined(), "began cancelled began ended");
  // No window: touches go nowhere.
  UIApplication::sharedApplication().setKeyWindow(nullptr);
  host->tap(Point{10, 10});
  EXPECT_EQ(view->calls.size(), 4u);
}

TEST_F(TouchDeliveryTest, AViewThatLeftTheTreeHearsNothingMoreAndItsGestureIsCancelled) {
  auto view = std::make_shared<RecordingView>(Rect(0, 0, 200, 200));
  window->addSubview(view);
  std::vector<UIGestureRecognizerState> states;
  auto pan = std::make_shared<UIPanGestureRecognizer>(
      [&states](UIGestureRecognizer& g) { states.push_back(g.state()); });
  view->addGestureRecognizer(pan);
  host->touchDown(Point{10, 10});
  host->advanceBy(0.02);
  host->touchMove(Point{40, 10});
  ASSERT_EQ(states, (std::vector<UIGestureRecognizerState>{UIGestureRecognizerState::Began}));
  // Taken out of the window while the finger is down (and kept alive elsewhere).
  view->removeFromSuperview();
  host->advanceBy(0.02);
  host->touchMove(Point{60, 10});
  host->touchUp();
  EXPECT_EQ(view->joined(), "began cancelled");  // cancelled when the pan began
  EXPECT_EQ(states, (std::vector<UIGestureRecognizerState>{UIGestureRecognizerState::Began,
                                                           UIGestureRecognizerState::Cancelled}));
  EXPECT_EQ(pan->state(), UIGestureRecognizerState::Possible);

  // A button taken away mid-press never sends touch up inside; put back, it works again.
  auto button = UIButton::buttonWithType(UIButtonType::Custom);
  button->setFrame(Rect(0, 300, 100, 44));
  int pressed = 0;
  button->addTarget([&pressed](UIControl&) { ++pressed; }, UIControlEventTouchUpInside);
  window->addSubview(button);
  host->touchDown(Point{50, 320});
  button->removeFromSuperview();
  host->touchUp();
  EXPECT_EQ(pressed, 0);
  window->addSubview(button);
  host->advanceBy(1);
  host->tap(Point{50, 320});
  EXPECT_EQ(pressed, 1);
  // The view is back too, and its pan starts afresh.
  window->addSubview(view);
  states.clear();
  host->advanceBy(1);
  host->drag(Point{10, 10}, Point{60, 10});
  EXPECT_EQ(states.front(), UIGestureRecognizerState::Began);
  EXPECT_EQ(states.back(), UIGestureRecognizerState::Ended);

  // A view released while its finger is down is not kept alive by the touch.
  host->touchDown(Point{10, 10});
  view->removeFromSuperview();
  std::weak_ptr<UIView> weak = view;
  view.reset();
  pan.reset();
  host->touchMove(Point{20, 20});
  host->touchUp();
  EXPECT_TRUE(weak.expired());
}
