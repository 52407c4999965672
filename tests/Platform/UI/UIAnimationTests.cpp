#include <gtest/gtest.h>

#include "Foundation/RunLoop.h"
#include "UI/CATransition.h"
#include "UI/UIView.h"

using namespace platform;

namespace {

class AnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    _saved = RunLoop::main().clock();
    RunLoop::main().setClock(_clock);
  }
  void TearDown() override {
    RunLoop::main().runPending();
    RunLoop::main().setClock(_saved);
  }
  double now() const { return RunLoop::main().now(); }
  void advance(double seconds) {
    RunLoop::main().advanceBy(seconds);
    RunLoop::main().runPending();
  }

  std::shared_ptr<VirtualClock> _clock = std::make_shared<VirtualClock>(100);
  std::shared_ptr<Clock> _saved;
};

class RecordingDelegate : public CAAnimationDelegate {
 public:
  void animationDidStop(const CATransition&, bool finished) override {
    stops.push_back(finished);
  }
  std::vector<bool> stops;
};

}  // namespace

TEST_F(AnimationTest, ModelChangesAtOncePresentationMovesWithTheClock) {
  auto view = std::make_shared<UIView>(Rect(0, 0, 100, 100));
  std::optional<bool> finished;
  UIView::animateWithDuration(
      1.0, 0, UIViewAnimationOptionCurveLinear,
      [&] {
        view->setAlpha(0);
        view->setCenter(Point{150, 50});
      },
      [&](bool done) { finished = done; });
  EXPECT_EQ(view->alpha(), 0);
  EXPECT_EQ(view->center(), (Point{150, 50}));
  EXPECT_DOUBLE_EQ(view->presentationAlpha(now()), 1);
  EXPECT_TRUE(view->layer().hasRunningAnimations());
  advance(0.5);
  EXPECT_NEAR(view->presentationAlpha(now()), 0.5, 1e-9);
  EXPECT_NEAR(view->presentationCenter(now()).x, 100, 1e-9);
  EXPECT_FALSE(finished.has_value());
  advance(0.5);
  EXPECT_EQ(finished, true);
  EXPECT_FALSE(view->layer().hasRunningAnimations());
  EXPECT_DOUBLE_EQ(view->presentationAlpha(now()), 0);
}

TEST_F(AnimationTest, EaseOutIsAheadOfLinearHalfway) {
  auto view = std::make_shared<UIView>(Rect(0, 0, 10, 10));
  UIView::animateWithDuration(0.2, 0, UIViewAnimationOptionCurveEaseOut,
                              [&] { view->setAlpha(0); }, nullptr);
  advance(0.1);
  double eased = view->presentationAlpha(now());
  EXPECT_LT(eased, 0.5);
  EXPECT_GT(eased, 0.1);
  // The default curve eases in and out: exactly halfway at half time by symmetry.
  auto other = std::make_shared<UIView>(Rect(0, 0, 10, 10));
  UIView::animateWithDuration(0.2, [&] { other->setAlpha(0); });
  advance(0.1);
  EXPECT_NEAR(other->presentationAlpha(now()), 0.5, 1e-6);
}

TEST_F(AnimationTest, DelayHoldsTheOldValue) {
  auto view = std::make_shared<UIView>(Rect(0, 0, 10, 10));
  UIView::animateWithDuration(1.0, 0.5, UIViewAnimationOptionCurveLinear,
                              [&] { view->setAlpha(0); }, nullptr);
  advance(0.4);
  EXPECT_DOUBLE_EQ(view->presentationAlpha(now()), 1);
  advance(0.6);
  EXPECT_NEAR(view->presentationAlpha(now()), 0.5, 1e-9);
}

TEST_F(AnimationTest, InterruptedAnimationCompletesUnfinishedAndCurrentStateIsTheStart) {
  auto view = std::make_shared<UIView>(Rect(0, 0, 10, 10));
  std::vector<bool> completions;
  UIView::animateWithDuration(
      1.0, 0, UIViewAnimationOptionCurveLinear, [&] { view->setAlpha(0); },
      [&](bool done) { completions.push_back(done); });
  advance(0.5);
  UIView::animateWithDuration(
      1.0, 0, UIViewAnimationOptionCurveLinear | UIViewAnimationOptionBeginFromCurrentState,
      [&] { view->setAlpha(1); }, [&](bool done) { completions.push_back(done); });
  RunLoop::main().runPending();
  ASSERT_EQ(completions.size(), 1u);
  EXPECT_FALSE(completions[0]);
  // Starts from 0.5 where it was drawn, not from the model's 0.
  EXPECT_NEAR(view->presentationAlpha(now()), 0.5, 1e-9);
  advance(0.5);
  EXPECT_NEAR(view->presentationAlpha(now()), 0.75, 1e-9);
  advance(0.5);
  ASSERT_EQ(completions.size(), 2u);
  EXPECT_TRUE(completions[1]);
}

TEST_F(AnimationTest, WithoutCurrentStateTheOldTargetIsTheStart) {
  auto view = std::make_shared<UIView>(Rect(0, 0, 10, 10));
  UIView::animateWithDuration(1.0, 0, UIViewAnimationOptionCurveLinear,
                              [&] { view->setAlpha(0); }, nullptr);
  advance(0.5);
  UIView::animateWithDuration(1.0, 0, UIViewAnimationOptionCurveLinear,
                              [&] { view->setAlpha(1); }, nullptr);
  EXPECT_DOUBLE_EQ(view->presentationAlpha(now()), 0);
}

TEST_F(AnimationTest, BlockWithoutChangesCompletesFinishedAtOnce) {
  std::optional<bool> finished;
  UIView::animateWithDuration(0.3, [] {}, [&](bool done) { finished = done; });
  EXPECT_FALSE(finished.has_value());  // never inside the call
  RunLoop::main().runPending();
  EXPECT_EQ(finished, true);
}

TEST_F(AnimationTest, TransformAnimatesComponentWise) {
  auto view = std::make_shared<UIView>(Rect(0, 0, 10, 10));
  UIView::animateWithDuration(1.0, 0, UIViewAnimationOptionCurveLinear,
                              [&] { view->setTransform(AffineTransform::makeScale(3, 5)); },
                              nullptr);
  advance(0.5);
  AffineTransform t = view->presentationTransform(now());
  EXPECT_NEAR(t.a, 2, 1e-9);
  EXPECT_NEAR(t.d, 3, 1e-9);
  EXPECT_EQ(view->layer().animationKeys(), std::vector<std::string>{"transform"});
}

TEST_F(AnimationTest, TransitionRunsItsDurationAndTellsTheDelegate) {
  auto view = std::make_shared<UIView>(Rect(0, 0, 40, 40));
  auto delegate = std::make_shared<RecordingDelegate>();
  auto transition = CATransition::animation();
  transition->setType(kCATransitionPush);
  transition->setSubtype(kCATransitionFromRight);
  transition->setDelegate(delegate);
  view->layer().addAnimation(transition, "");
  EXPECT_EQ(view->layer().animationKeys(), std::vector<std::string>{"transition"});
  ASSERT_EQ(view->layer().transitions().size(), 1u);
  EXPECT_NEAR(view->layer().transitions().begin()->second.progress(now() + 0.125), 0.5, 1e-9);
  advance(0.2);
  EXPECT_TRUE(delegate->stops.empty());
  advance(0.05);
  EXPECT_EQ(delegate->stops, std::vector<bool>{true});
  EXPECT_FALSE(view->layer().hasRunningAnimations());
}

TEST_F(AnimationTest, ReplacedTransitionStopsUnfinished) {
  auto view = std::make_shared<UIView>(Rect(0, 0, 40, 40));
  auto first = std::make_shared<RecordingDelegate>(), second = std::make_shared<RecordingDelegate>();
  auto a = CATransition::animation(), b = CATransition::animation();
  a->setDelegate(first);
  b->setDelegate(second);
  view->layer().addAnimation(a, "");
  advance(0.1);
  view->layer().addAnimation(b, "");
  EXPECT_EQ(first->stops, std::vector<bool>{false});
  advance(0.25);
  EXPECT_EQ(second->stops, std::vector<bool>{true});
  EXPECT_EQ(first->stops.size(), 1u);
}
