#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "TouchTestSupport.h"
#include "UI/UILongPressGestureRecognizer.h"
#include "UI/UIPanGestureRecognizer.h"
#include "UI/UIPinchGestureRecognizer.h"
#include "UI/UIRotationGestureRecognizer.h"
#include "UI/UISwipeGestureRecognizer.h"
#include "UI/UITapGestureRecognizer.h"

using namespace platform;
using namespace platform::testing;

namespace {

using State = UIGestureRecognizerState;

class GestureTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    canvas = std::make_shared<RecordingView>(Rect(0, 0, 320, 568));
    window->addSubview(canvas);
  }
  // Records the state of every action call.
  template <class R>
  std::shared_ptr<R> make(std::vector<State>& log) {
    auto r = std::make_shared<R>([&log](UIGestureRecognizer& g) { log.push_back(g.state()); });
    canvas->addGestureRecognizer(r);
    return r;
  }
  std::shared_ptr<RecordingView> canvas;
};

class Delegate : public UIGestureRecognizerDelegate {
 public:
  bool gestureRecognizerShouldBegin(UIGestureRecognizer&) override { return begin; }
  bool gestureRecognizerShouldReceiveTouch(UIGestureRecognizer&, UITouch&) override {
    return receive;
  }
  bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
      UIGestureRecognizer&, UIGestureRecognizer&) override {
    return together;
  }
  bool begin = true;
  bool receive = true;
  bool together = false;
};

}  // namespace

TEST_F(GestureTest, PanBeginsOnlyAfterMovementAndReportsTranslationAndVelocity) {
  std::vector<State> log;
  auto pan = make<UIPanGestureRecognizer>(log);
  host->touchDown(Point{100, 100});
  host->advanceBy(0.02);
  host->touchMove(Point{104, 103});  // 5 points: still possible
  EXPECT_EQ(pan->state(), State::Possible);
  EXPECT_TRUE(log.empty());
  host->advanceBy(0.02);
  host->touchMove(Point{112, 100});
  EXPECT_EQ(log, (std::vector<State>{State::Began}));
  EXPECT_EQ(pan->translationInView(canvas.get()), (Point{12, 0}));
  pan->setTranslation(Point{0, 0}, canvas.get());
  for (int i = 1; i <= 5; ++i) {
    host->advanceBy(0.02);
    host->touchMove(Point{112.0 + 10 * i, 100});
  }
  EXPECT_EQ(pan->translationInView(canvas.get()), (Point{50, 0}));
  EXPECT_NEAR(pan->velocityInView(canvas.get()).x, 500, 1e-6);  // 10 points every 0.02 s
  EXPECT_NEAR(pan->velocityInView(canvas.get()).y, 0, 1e-9);
  host->touchUp();
  EXPECT_EQ(log.back(), State::Ended);
  EXPECT_EQ(pan->state(), State::Possible);  // reset once the touches are gone
  // The view beneath was told its touch was cancelled when the pan began.
  EXPECT_EQ(canvas->joined(), "began moved cancelled");
}

TEST_F(GestureTest, PanHonoursItsTouchCountsAndTheViewsScale) {
  std::vector<State> log;
  auto pan = make<UIPanGestureRecognizer>(log);
  auto inner = std::make_shared<UIView>(Rect(0, 0, 100, 100));
  inner->setTransform(AffineTransform::makeScale(2, 2));
  canvas->addSubview(inner);
  pan->setMinimumNumberOfTouches(2);
  host->drag(Point{50, 50}, Point{150, 50});
  EXPECT_TRUE(log.empty());
  host->touchDown(Point{50, 50}, 1);
  host->touchDown(Point{50, 100}, 2);
  host->touchMove(Point{80, 50}, 1);
  host->touchMove(Point{80, 100}, 2);
  EXPECT_EQ(log, (std::vector<State>{State::Began, State::Changed}));
  // Translation of the centroid: (30, 0) whatever the order the fingers moved in; half that
  // in a view drawn twice as large.
  EXPECT_EQ(pan->translationInView(nullptr), (Point{30, 0}));
  EXPECT_NEAR(pan->translationInView(inner.get()).x, 15, 1e-9);
  EXPECT_NEAR(pan->translationInView(inner.get()).y, 0, 1e-9);
  host->touchUp(1);
  EXPECT_EQ(log.back(), State::Ended);
  host->touchUp(2);
}

TEST_F(GestureTest, PinchScaleIsDistanceRatioAndCanBeReset) {
  std::vector<State> log;
  auto pinch = make<UIPinchGestureRecognizer>(log);
  host->touchDown(Point{110, 300}, 1);
  host->touchDown(Point{210, 300}, 2);
  host->advanceBy(0.05);
  host->touchMove(Point{60, 300}, 1);  // 150 apart
  EXPECT_EQ(pinch->state(), State::Began);
  EXPECT_NEAR(pinch->scale(), 1.5, 1e-9);
  host->touchMove(Point{260, 300}, 2);  // 200 apart
  EXPECT_NEAR(pinch->scale(), 2, 1e-9);
  pinch->setScale(1);
  host->touchMove(Point{10, 300}, 1);  // 250 apart
  EXPECT_NEAR(pinch->scale(), 1.25, 1e-9);
  host->touchUp(1);
  EXPECT_EQ(log.back(), State::Ended);
  host->touchUp(2);
  EXPECT_NEAR(pinch->scale(), 1, 1e-9);  // reset for the next pinch
}

TEST_F(GestureTest, RotationMeasuresTheTurnOfTwoFingers) {
  std::vector<State> log;
  auto rotation = make<UIRotationGestureRecognizer>(log);
  host->touchDown(Point{160, 300}, 1);
  host->touchDown(Point{260, 300}, 2);
  // The second finger goes a quarter turn clockwise (on screen) in steps.
  for (int i = 1; i <= 9; ++i) {
    double a = std::numbers::pi / 2 * i / 9;
    host->advanceBy(0.02);
    host->touchMove(Point{160 + 100 * std::cos(a), 300 + 100 * std::sin(a)}, 2);
  }
  EXPECT_EQ(log.front(), State::Began);
  EXPECT_NEAR(rotation->rotation(), std::numbers::pi / 2, 1e-9);
  EXPECT_GT(rotation->velocity(), 0);
  rotation->setRotation(0);
  host->touchMove(Point{160, 200}, 2);  // now pointing up: a half turn back
  EXPECT_NEAR(rotation->rotation(), -std::numbers::pi, 1e-9);
  host->touchUp(2);
  host->touchUp(1);
  EXPECT_EQ(log.back(), State::Ended);
}

TEST_F(GestureTest, DoubleTapMakesTheSingleTapFailAndMovingFailsBoth) {
  std::vector<State> singles, doubles;
  auto single = make<UITapGestureRecognizer>(singles);
  auto twice = make<UITapGestureRecognizer>(doubles);
  twice->setNumberOfTapsRequired(2);
  single->requireGestureRecognizerToFail(twice);

  host->tap(Point{100, 100});
  host->advanceBy(0.1);
  EXPECT_TRUE(singles.empty());  // waiting: the double tap may still come
  host->tap(Point{102, 101});
  EXPECT_EQ(doubles, (std::vector<State>{State::Recognized}));
  host->advanceBy(1);
  EXPECT_TRUE(singles.empty());

  host->tap(Point{100, 100});
  EXPECT_TRUE(singles.empty());
  host->advanceBy(UITapGestureRecognizer::kMaximumTapInterval + 0.01);
  EXPECT_EQ(singles, (std::vector<State>{State::Recognized}));
  EXPECT_EQ(doubles.size(), 1u);
  EXPECT_EQ(single->state(), State::Possible);
  EXPECT_EQ(twice->state(), State::Possible);

  host->advanceBy(1);
  host->drag(Point{100, 100}, Point{100, 130}, 0.1, 3);
  host->advanceBy(1);
  EXPECT_EQ(singles.size() + doubles.size(), 2u);
}

TEST_F(GestureTest, LongPressBeginsAfterTheDurationAndSingleTapWaitsForIt) {
  std::vector<State> presses, taps;
  auto press = make<UILongPressGestureRecognizer>(presses);
  auto tap = make<UITapGestureRecognizer>(taps);
  tap->requireGestureRecognizerToFail(press);
  host->touchDown(Point{100, 100});
  host->advanceBy(0.4);
  EXPECT_TRUE(presses.empty());
  host->advanceBy(0.2);
  EXPECT_EQ(presses, (std::vector<State>{State::Began}));
  host->touchMove(Point{103, 100});
  host->touchUp();
  EXPECT_EQ(presses, (std::vector<State>{State::Began, State::Changed, State::Ended}));
  EXPECT_TRUE(taps.empty());
  host->advanceBy(1);
  host->tap(Point{100, 100}, 0.1);  // short: the press fails, so the tap is recognized
  EXPECT_EQ(taps, (std::vector<State>{State::Recognized}));
  EXPECT_EQ(presses.size(), 3u);
}

TEST_F(GestureTest, SwipesAreRecognizedOnlyInTheirDirections) {
  struct Case {
    UISwipeGestureRecognizerDirection direction;
    Point from, to;
  };
  const Case cases[] = {{UISwipeGestureRecognizerDirectionLeft, {250, 300}, {100, 310}},
                        {UISwipeGestureRecognizerDirectionRight, {100, 300}, {250, 300}},
                        {UISwipeGestureRecognizerDirectionUp, {160, 400}, {160, 200}},
                        {UISwipeGestureRecognizerDirectionDown, {160, 200}, {165, 400}}};
  std::vector<State> logs[4];
  std::shared_ptr<UISwipeGestureRecognizer> swipes[4];
  for (int i = 0; i < 4; ++i) {
    swipes[i] = make<UISwipeGestureRecognizer>(logs[i]);
    swipes[i]->setDirection(cases[i].direction);
  }
  for (int i = 0; i < 4; ++i) {
    host->advanceBy(1);
    host->drag(cases[i].from, cases[i].to, 0.2);
    for (int j = 0; j < 4; ++j) EXPECT_EQ(logs[j].size(), j <= i ? 1u : 0u) << i << " " << j;
    EXPECT_EQ(swipes[i]->locationInView(canvas.get()), cases[i].from);  // where it began
  }
  host->advanceBy(1);
  host->drag(Point{100, 300}, Point{250, 300}, 2.0);  // too slow for a swipe
  host->advanceBy(1);
  host->drag(Point{100, 300}, Point{200, 400}, 0.2);  // diagonal
  for (const auto& log : logs) EXPECT_EQ(log.size(), 1u);
}

TEST_F(GestureTest, DelegateCanRefuseBeginningOrTouchesAndAllowRecognizingTogether) {
  auto delegate = std::make_shared<Delegate>();
  std::vector<State> log, pinches;
  auto pan = make<UIPanGestureRecognizer>(log);
  auto pinch = make<UIPinchGestureRecognizer>(pinches);
  pan->setDelegate(delegate);
  delegate->begin = false;
  host->drag(Point{50, 50}, Point{150, 50});
  EXPECT_TRUE(log.empty());
  // The refused pan did not take the touch from the view.
  EXPECT_EQ(canvas->calls.back(), "ended");

  delegate->begin = true;
  delegate->receive = false;
  host->advanceBy(1);
  host->drag(Point{50, 50}, Point{150, 50});
  EXPECT_TRUE(log.empty());

  delegate->receive = true;
  auto spread = [&] {
    host->advanceBy(1);
    host->touchDown(Point{100, 300}, 1);
    host->touchDown(Point{200, 300}, 2);
    for (int i = 1; i <= 5; ++i) {
      host->advanceBy(0.02);
      host->touchMove(Point{100.0 - 10 * i, 300.0 + 8 * i}, 1);
      host->touchMove(Point{200.0 + 10 * i, 300.0 + 8 * i}, 2);
    }
    host->touchUp(1);
    host->touchUp(2);
  };
  spread();
  // Not together, whichever began first keeps the touches.
  EXPECT_EQ(log.empty() + pinches.empty(), 1);
  log.clear();
  pinches.clear();
  delegate->together = true;
  spread();
  for (const auto* states : {&log, &pinches}) {
    ASSERT_FALSE(states->empty());
    EXPECT_EQ(states->front(), State::Began);
    EXPECT_EQ(states->back(), State::Ended);
  }

  // A delegate that is gone counts as none.
  log.clear();
  delegate->begin = false;
  std::weak_ptr<Delegate> gone = delegate;
  delegate.reset();
  ASSERT_TRUE(gone.expired());
  host->advanceBy(1);
  host->drag(Point{50, 50}, Point{150, 50});
  EXPECT_EQ(log.front(), State::Began);
}

TEST_F(GestureTest, RecognizersOfAncestorsSeeTouchesOnSubviews) {
  auto child = std::make_shared<RecordingView>(Rect(10, 10, 100, 100));
  canvas->addSubview(child);
  std::vector<State> log;
  auto tap = make<UITapGestureRecognizer>(log);
  tap->setCancelsTouchesInView(false);
  host->tap(Point{20, 20});
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(child->joined(), "began ended");

  tap->setCancelsTouchesInView(true);
  host->advanceBy(1);
  host->tap(Point{20, 20});
  EXPECT_EQ(child->joined(), "began ended began cancelled");
}

TEST_F(GestureTest, DisabledOrRemovedRecognizersStopAtOnce) {
  std::vector<State> log;
  auto pan = make<UIPanGestureRecognizer>(log);
  host->drag(Point{50, 50}, Point{150, 50}, 0.2, 5, false);
  EXPECT_EQ(log.front(), State::Began);
  pan->setEnabled(false);
  EXPECT_EQ(log.back(), State::Cancelled);
  size_t calls = log.size();
  host->touchMove(Point{200, 50});
  host->touchUp();
  EXPECT_EQ(log.size(), calls);
  pan->setEnabled(true);
  canvas->removeGestureRecognizer(pan.get());
  EXPECT_EQ(pan->view(), nullptr);
  host->advanceBy(1);
  host->drag(Point{50, 50}, Point{150, 50});
  EXPECT_EQ(log.size(), calls);
}
