#include <gtest/gtest.h>

#include <cmath>

#include "TouchTestSupport.h"
#include "UI/UIScrollView.h"

using namespace platform;
using namespace platform::testing;

namespace {

// Counts its layout passes, as a recycling strip would run them.
class CountingScrollView : public UIScrollView {
 public:
  using UIScrollView::UIScrollView;
  void layoutSubviews() override {
    ++layouts;
    if (onLayout) onLayout();
  }
  int layouts = 0;
  std::function<void()> onLayout;
};

class RecordingDelegate : public UIScrollViewDelegate {
 public:
  void scrollViewDidScroll(UIScrollView&) override { ++scrolls; }
  void scrollViewWillBeginDragging(UIScrollView&) override { note("willBeginDragging"); }
  void scrollViewDidEndDragging(UIScrollView&, bool decelerate) override {
    note(decelerate ? "didEndDragging(decelerate)" : "didEndDragging");
  }
  void scrollViewWillBeginDecelerating(UIScrollView&) override { note("willBeginDecelerating"); }
  void scrollViewDidEndDecelerating(UIScrollView&) override { note("didEndDecelerating"); }
  void scrollViewDidEndScrollingAnimation(UIScrollView&) override {
    note("didEndScrollingAnimation");
  }
  void note(const char* call) { calls.push_back(call); }
  int scrolls = 0;
  std::vector<std::string> calls;
};

class ScrollViewTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    scroll = std::make_shared<CountingScrollView>(Rect(0, 100, 320, 200));
    scroll->setContentSize(Size{320, 2000});
    scroll->setDelegate(delegate);
    window->addSubview(scroll);
    scroll->layoutIfNeeded();
    scroll->layouts = 0;
  }
  // A slow drag that rests half a second before the finger lifts, then a second to settle.
  void restingDrag(Point from, Point to) {
    host->drag(from, to, 1.0, 20, false);
    host->advanceBy(0.5);
    host->touchUp();
    host->advanceBy(1);
  }
  std::shared_ptr<CountingScrollView> scroll;
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

}  // namespace

TEST_F(ScrollViewTest, OffsetIsTheBoundsOriginAndEveryChangeLaysOutAtOnce) {
  scroll->setContentOffset(Point{0, 50});
  EXPECT_EQ(scroll->bounds().origin, (Point{0, 50}));
  EXPECT_EQ(scroll->layouts, 1);
  scroll->setContentOffset(Point{0, 60});
  scroll->setContentOffset(Point{0, 60});  // no change: no layout, no scroll call
  EXPECT_EQ(scroll->layouts, 2);
  EXPECT_EQ(delegate->scrolls, 2);
  // A subview at content y 100 is on screen at 100 - 60 + 100.
  auto cell = std::make_shared<UIView>(Rect(0, 100, 320, 50));
  scroll->addSubview(cell);
  EXPECT_EQ(cell->convertPointToView(Point{0, 0}, window.get()), (Point{0, 140}));
  EXPECT_EQ(window->hitTest(Point{10, 145}), cell.get());
  // A layout that moves the offset again runs once more, not nested inside itself.
  int depth = 0, deepest = 0;
  scroll->onLayout = [&] {
    deepest = std::max(deepest, ++depth);
    if (scroll->contentOffset().y > 100) scroll->setContentOffset(Point{0, 100});
    --depth;
  };
  scroll->setContentOffset(Point{0, 150});
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 100}));
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(scroll->layouts, 4);
}

TEST_F(ScrollViewTest, DraggingStartsAfterMovementAndCancelsTheCellsTouch) {
  auto cell = std::make_shared<RecordingView>(Rect(0, 0, 320, 100));
  scroll->addSubview(cell);
  host->tap(Point{100, 150});  // a tap is no drag
  EXPECT_EQ(cell->joined(), "began ended");
  cell->calls.clear();
  host->advanceBy(1);
  host->touchDown(Point{100, 150});
  host->advanceBy(0.05);
  host->touchMove(Point{100, 145});
  EXPECT_FALSE(scroll->isDragging());
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));
  host->advanceBy(0.05);
  host->touchMove(Point{100, 130});
  EXPECT_TRUE(scroll->isDragging());
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 20}));
  EXPECT_EQ(cell->joined(), "began moved cancelled");
  host->advanceBy(0.5);
  host->touchMove(Point{100, 130});
  host->advanceBy(0.5);
  host->touchUp();  // after a rest: no coasting
  EXPECT_FALSE(scroll->isDragging());
  EXPECT_FALSE(scroll->isDecelerating());
  EXPECT_EQ(cell->joined(), "began moved cancelled");
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"willBeginDragging", "didEndDragging"}));
}

TEST_F(ScrollViewTest, FlickDeceleratesOnTheClockAndStops) {
  host->drag(Point{100, 280}, Point{100, 180}, 0.1, 5);  // 1000 points/s upwards
  EXPECT_TRUE(scroll->isDecelerating());
  double released = scroll->contentOffset().y;
  EXPECT_NEAR(released, 100, 1e-9);
  host->advanceBy(0.1);
  double later = scroll->contentOffset().y;
  EXPECT_GT(later, released + 50);
  EXPECT_LT(later, released + 100);
  host->advanceBy(5);
  EXPECT_FALSE(scroll->isDecelerating());
  double rest = scroll->contentOffset().y;
  // Coasting from 1000 points/s at rate 0.998 per millisecond goes about 500 points.
  EXPECT_NEAR(rest - released, 500, 30);
  host->advanceBy(1);
  EXPECT_EQ(scroll->contentOffset().y, rest);
  EXPECT_EQ(delegate->calls,
            (std::vector<std::string>{"willBeginDragging", "didEndDragging(decelerate)",
                                      "willBeginDecelerating", "didEndDecelerating"}));
  EXPECT_GT(scroll->layouts, 20);  // one layout per frame while it moved
}

TEST_F(ScrollViewTest, DraggingPastTheEdgeBouncesBackAndNothingToScrollIsNoDrag) {
  host->drag(Point{100, 150}, Point{100, 250}, 0.5, 10, false);
  // 100 points past the top: the content followed at half the pace beyond the edge.
  EXPECT_NEAR(scroll->contentOffset().y, -50, 1e-9);
  host->advanceBy(0.5);
  host->touchUp();
  EXPECT_TRUE(scroll->isDecelerating());
  host->advanceBy(1);
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));
  EXPECT_FALSE(scroll->isDecelerating());

  scroll->setBounces(false);
  host->drag(Point{100, 150}, Point{100, 250}, 0.5, 10);
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));

  // Nothing to scroll: no drag, the cell keeps its touch.
  scroll->setContentSize(Size{1, 200});
  auto cell = std::make_shared<RecordingView>(Rect(0, 0, 320, 100));
  scroll->addSubview(cell);
  host->advanceBy(1);
  host->drag(Point{100, 150}, Point{100, 250});
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));
  EXPECT_EQ(cell->calls.back(), "ended");
  // Content one point wide scrolls only vertically.
  scroll->setContentSize(Size{1, 2000});
  host->advanceBy(1);
  host->drag(Point{200, 250}, Point{100, 150}, 0.5, 10);
  EXPECT_EQ(scroll->contentOffset().x, 0);
  EXPECT_NEAR(scroll->contentOffset().y, 100, 1e-9);
}

TEST_F(ScrollViewTest, PagingSettlesOnTheNearestPageOrTheNextAfterAFlick) {
  scroll->setContentSize(Size{320 * 4, 200});
  scroll->setPagingEnabled(true);
  struct Gesture {
    const char* what;
    double from, to, duration;  // a duration of zero is a slow drag that rests before lifting
    int steps;
    double page;
  };
  for (const Gesture& g : {Gesture{"slow 200 points: the nearest page", 300, 100, 0, 0, 1},
                           {"slow 100 points: the same page", 300, 200, 0, 0, 1},
                           {"quick flick of 60 points: one page on", 300, 240, 0.06, 3, 2},
                           {"long fast fling: still one page", 310, 10, 0.1, 5, 3},
                           {"flick on the last page: stays", 300, 200, 0.05, 3, 3}}) {
    if (g.duration == 0) {
      restingDrag(Point{g.from, 200}, Point{g.to, 200});
    } else {
      host->drag(Point{g.from, 200}, Point{g.to, 200}, g.duration, g.steps);
      host->advanceBy(1);
    }
    EXPECT_EQ(scroll->contentOffset(), (Point{320 * g.page, 0})) << g.what;
    host->advanceBy(1);
  }
  EXPECT_EQ(delegate->calls.back(), "didEndDecelerating");
}

TEST_F(ScrollViewTest, AnimatedOffsetStepsThroughFramesAndReportsItsEnd) {
  scroll->setContentOffset(Point{0, 300}, true);
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));
  EXPECT_TRUE(scroll->isScrolling());
  host->advanceBy(0.15);
  double mid = scroll->contentOffset().y;
  EXPECT_GT(mid, 150);  // eased out: more than half way at half time
  EXPECT_LT(mid, 300);
  host->advanceBy(0.2);
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 300}));
  EXPECT_FALSE(scroll->isScrolling());
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"didEndScrollingAnimation"}));
  EXPECT_GE(scroll->layouts, 15);
  // A plain set in the middle of an animation stops it there.
  scroll->setContentOffset(Point{0, 0}, true);
  host->advanceBy(0.1);
  scroll->setContentOffset(Point{0, 50});
  host->advanceBy(1);
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 50}));
  EXPECT_EQ(delegate->calls.size(), 1u);
  // Gone in the middle of an animation, it is released and nothing runs on it.
  scroll->setContentOffset(Point{0, 300}, true);
  scroll->removeFromSuperview();
  std::weak_ptr<UIView> weak = scroll;
  scroll.reset();
  host->advanceBy(1);
  EXPECT_TRUE(weak.expired());
}

TEST_F(ScrollViewTest, AFingerStopsTheCoastingContentAndItsTouchStaysOffTheCell) {
  auto cell = std::make_shared<RecordingView>(Rect(0, 0, 320, 2000));
  scroll->addSubview(cell);
  host->drag(Point{100, 280}, Point{100, 180}, 0.1, 5);
  host->advanceBy(0.1);
  ASSERT_TRUE(scroll->isDecelerating());
  cell->calls.clear();
  delegate->calls.clear();
  host->touchDown(Point{100, 200});
  double caught = scroll->contentOffset().y;
  EXPECT_FALSE(scroll->isScrolling());
  host->advanceBy(0.5);
  EXPECT_EQ(scroll->contentOffset().y, caught);
  host->touchUp();
  host->advanceBy(1);
  EXPECT_EQ(scroll->contentOffset().y, caught);
  EXPECT_TRUE(cell->calls.empty()) << cell->joined();
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"didEndDecelerating"}));
  // At rest, a tap reaches the cell again.
  host->tap(Point{100, 200});
  EXPECT_EQ(cell->joined(), "began ended");

  // Caught between pages, the strip settles on one when the finger lifts; caught and then
  // dragged, it is an ordinary drag.
  scroll->setContentOffset(Point{0, 0});
  scroll->setContentSize(Size{320 * 4, 200});
  scroll->setPagingEnabled(true);
  host->advanceBy(1);
  host->drag(Point{300, 200}, Point{240, 200}, 0.06, 3);
  host->advanceBy(0.05);
  host->touchDown(Point{150, 200});
  double x = scroll->contentOffset().x;
  EXPECT_GT(x, 0);
  EXPECT_LT(x, 320);
  host->advanceBy(0.3);
  host->touchUp();
  host->advanceBy(1);
  double settled = scroll->contentOffset().x;
  EXPECT_TRUE(settled == 0 || settled == 320) << settled;  // the nearer page of the two
  host->advanceBy(1);
  host->drag(Point{300, 200}, Point{240, 200}, 0.06, 3);
  host->advanceBy(0.05);
  restingDrag(Point{300, 200}, Point{100, 200});
  EXPECT_EQ(std::fmod(scroll->contentOffset().x, 320), 0);
  EXPECT_GT(scroll->contentOffset().x, settled);  // the drag moved on by a page
}

TEST_F(ScrollViewTest, IndicatorsShowTheVisiblePartWhileMovingAndFadeAtRest) {
  EXPECT_EQ(scroll->verticalScrollIndicator(), nullptr);
  host->drag(Point{100, 280}, Point{100, 180}, 1.0, 10, false);
  UIView* bar = scroll->verticalScrollIndicator();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(scroll->horizontalScrollIndicator(), nullptr);  // content as wide as the view
  EXPECT_EQ(bar->superview(), scroll.get());
  EXPECT_EQ(scroll->subviews().back().get(), bar);
  // 200 of 2000 points show: a tenth of the track (200 less the insets), 100 points down of
  // 1800 possible.
  double track = 200 - 2 * UIScrollView::kIndicatorInset;
  Rect f = bar->frame();
  EXPECT_NEAR(f.size.height, track / 10, 1e-9);
  EXPECT_NEAR(f.size.width, UIScrollView::kIndicatorThickness, 1e-9);
  EXPECT_NEAR(f.origin.x, 320 - UIScrollView::kIndicatorInset - UIScrollView::kIndicatorThickness,
              1e-9);
  EXPECT_NEAR(f.origin.y, 100 + UIScrollView::kIndicatorInset + (track - track / 10) / 18, 1e-9);
  EXPECT_FALSE(bar->isUserInteractionEnabled());
  host->advanceBy(0.5);
  host->touchUp();
  host->advanceBy(UIScrollView::kIndicatorHideDelay + UIScrollView::kIndicatorFadeDuration + 0.1);
  EXPECT_EQ(scroll->verticalScrollIndicator(), nullptr);
  for (const auto& view : scroll->subviews()) EXPECT_NE(view.get(), bar);

  // Pulled past the top, the indicator shortens down to its least length.
  host->drag(Point{100, 150}, Point{100, 450}, 0.5, 10, false);
  ASSERT_NE(scroll->verticalScrollIndicator(), nullptr);
  EXPECT_EQ(scroll->verticalScrollIndicator()->frame().size.height,
            UIScrollView::kIndicatorMinimumLength);
  host->touchUp();
  host->advanceBy(2);
  EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));

  // Switched off, none shows.
  scroll->setShowsVerticalScrollIndicator(false);
  host->drag(Point{100, 280}, Point{100, 180}, 1.0, 10, false);
  EXPECT_EQ(scroll->subviews().size(), 0u);
  host->touchUp();
}
