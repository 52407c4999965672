#include <gtest/gtest.h>

#include <numbers>

#include "Foundation/RunLoop.h"
#include "TestSupport.h"
#include "UI/CATransition.h"
#include "UI/UIView.h"

using namespace platform;

namespace {

class AnimationTest : public ::testing::Test {
 protected:
  void TearDown() override { RunLoop::main().runPending(); }
  double now() const { return RunLoop::main().now(); }
  void advance(double seconds) {
    RunLoop::main().advanceBy(seconds);
    RunLoop::main().runPending();
  }
  // Animates `view`'s alpha to `to` linearly over a second, with `options` added.
  static void fade(UIView& view, double to, UIViewAnimationOptions options = 0,
                   std::function<void(bool)> completion = nullptr, double delay = 0) {
    UIView::animateWithDuration(
        1.0, delay, UIViewAnimationOptionCurveLinear | options, [&view, to] { view.setAlpha(to); },
        std::move(completion));
  }

  testing_support::VirtualTime _time;
  std::shared_ptr<UIView> view = std::make_shared<UIView>(Rect(0, 0, 100, 100));
};

class RecordingDelegate : public CAAnimationDelegate {
 public:
  void animationDidStop(const CATransition&, bool finished) override { stops.push_back(finished); }
  std::vector<bool> stops;
};

}  // namespace

TEST_F(AnimationTest, ModelChangesAtOncePresentationMovesWithTheClock) {
  std::optional<bool> finished;
  UIView::animateWithDuration(
      1.0, 0, UIViewAnimationOptionCurveLinear,
      [&] {
        view->setAlpha(0);
        view->setCenter(Point{150, 50});
        view->setTransform(AffineTransform::makeScale(3, 5));
      },
      [&](bool done) { finished = done; });
  EXPECT_EQ(view->alpha(), 0);
  EXPECT_EQ(view->center(), (Point{150, 50}));
  EXPECT_DOUBLE_EQ(view->presentationAlpha(now()), 1);
  EXPECT_TRUE(view->layer().hasRunningAnimations());
  advance(0.5);
  EXPECT_NEAR(view->presentationAlpha(now()), 0.5, 1e-9);
  EXPECT_NEAR(view->presentationCenter(now()).x, 100, 1e-9);
  AffineTransform t = view->presentationTransform(now());
  EXPECT_NEAR(t.a, 2, 1e-9);
  EXPECT_NEAR(t.d, 3, 1e-9);
  EXPECT_FALSE(finished.has_value());
  advance(0.5);
  EXPECT_EQ(finished, true);
  EXPECT_FALSE(view->layer().hasRunningAnimations());
  EXPECT_DOUBLE_EQ(view->presentationAlpha(now()), 0);

  // A delay holds the old value.
  fade(*view, 1, 0, nullptr, 0.5);
  advance(0.4);
  EXPECT_DOUBLE_EQ(view->presentationAlpha(now()), 0);
  advance(0.6);
  EXPECT_NEAR(view->presentationAlpha(now()), 0.5, 1e-9);

  // A block that changes nothing completes, finished, on the next turn of the loop.
  finished.reset();
  UIView::animateWithDuration(
      0.3, [] {}, [&](bool done) { finished = done; });
  EXPECT_FALSE(finished.has_value());
  RunLoop::main().runPending();
  EXPECT_EQ(finished, true);
}

TEST_F(AnimationTest, CurvesEaseOutAheadAndInOutSymmetrically) {
  UIView::animateWithDuration(
      0.2, 0, UIViewAnimationOptionCurveEaseOut, [&] { view->setAlpha(0); }, nullptr);
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

TEST_F(AnimationTest, InterruptedAnimationCompletesUnfinishedAndStartsWhereAsked) {
  std::vector<bool> completions;
  auto note = [&](bool done) { completions.push_back(done); };
  fade(*view, 0, 0, note);
  advance(0.5);
  fade(*view, 1, UIViewAnimationOptionBeginFromCurrentState, note);
  RunLoop::main().runPending();
  EXPECT_EQ(completions, std::vector<bool>{false});
  // Starts from 0.5 where it was drawn, not from the model's 0.
  EXPECT_NEAR(view->presentationAlpha(now()), 0.5, 1e-9);
  advance(0.5);
  EXPECT_NEAR(view->presentationAlpha(now()), 0.75, 1e-9);
  advance(0.5);
  EXPECT_EQ(completions, (std::vector<bool>{false, true}));

  // Without that option the old target is the start.
  fade(*view, 0);
  advance(0.5);
  fade(*view, 1);
  EXPECT_DOUBLE_EQ(view->presentationAlpha(now()), 0);
}

TEST_F(AnimationTest, TransitionRunsItsDurationAndTellsTheDelegateAReplacedOneStopsUnfinished) {
  auto first = std::make_shared<RecordingDelegate>(),
       second = std::make_shared<RecordingDelegate>();
  auto transition = CATransition::animation();
  transition->setType(kCATransitionPush);
  transition->setSubtype(kCATransitionFromRight);
  transition->setDelegate(first);
  view->layer().addAnimation(transition, "");
  EXPECT_EQ(view->layer().animationKeys(), std::vector<std::string>{"transition"});
  ASSERT_EQ(view->layer().transitions().size(), 1u);
  EXPECT_NEAR(view->layer().transitions().begin()->second.progress(now() + 0.125), 0.5, 1e-9);
  advance(0.2);
  EXPECT_TRUE(first->stops.empty());
  advance(0.05);
  EXPECT_EQ(first->stops, std::vector<bool>{true});
  EXPECT_FALSE(view->layer().hasRunningAnimations());

  auto a = CATransition::animation(), b = CATransition::animation();
  a->setDelegate(first);
  b->setDelegate(second);
  view->layer().addAnimation(a, "");
  advance(0.1);
  view->layer().addAnimation(b, "");
  EXPECT_EQ(first->stops, (std::vector<bool>{true, false}));
  advance(0.25);
  EXPECT_EQ(second->stops, std::vector<bool>{true});
  EXPECT_EQ(first->stops.size(), 2u);
}

TEST_F(AnimationTest, TransformsTurnAndScaleByTheirPartsNotEntryByEntry) {
  const double pi = std::numbers::pi;
  const AffineTransform identity;
  struct Case {
    AffineTransform from, to, halfway;
  };
  const Case cases[] = {
      // Entry by entry a half turn passes through the zero matrix and a quarter turn through
      // a matrix 0.71 wide.
      {AffineTransform::makeRotation(pi), identity, AffineTransform::makeRotation(pi / 2)},
      {AffineTransform::makeRotation(pi / 2), identity, AffineTransform::makeRotation(pi / 4)},
      {AffineTransform::makeRotation(-pi / 2), identity, AffineTransform::makeRotation(-pi / 4)},
      // From 170 to 190 degrees the short way, through 180, not back through 0.
      {AffineTransform::makeRotation(pi * 17 / 18), AffineTransform::makeRotation(-pi * 17 / 18),
       AffineTransform::makeRotation(pi)},
      {AffineTransform::makeTranslation(40, -20).scaled(3, 3).rotated(pi / 2), identity,
       AffineTransform::makeTranslation(20, -10).scaled(2, 2).rotated(pi / 4)},
      // A mirror image keeps its flip while it shrinks.
      {AffineTransform::makeScale(-2, 2), AffineTransform::makeScale(-1, 1),
       AffineTransform::makeScale(-1.5, 1.5)},
  };
  for (const Case& c : cases) {
    view->setTransform(c.from);
    UIView::animateWithDuration(
        1.0, 0, UIViewAnimationOptionCurveLinear, [&] { view->setTransform(c.to); }, nullptr);
    advance(0.5);
    AffineTransform t = view->presentationTransform(now());
    for (auto [got, want] : {std::pair{t.a, c.halfway.a},
                             {t.b, c.halfway.b},
                             {t.c, c.halfway.c},
                             {t.d, c.halfway.d},
                             {t.tx, c.halfway.tx},
                             {t.ty, c.halfway.ty}})
      EXPECT_NEAR(got, want, 1e-9) << c.from.a << " " << c.from.b;
    advance(0.5);
    EXPECT_EQ(view->presentationTransform(now()), c.to);
  }
}
