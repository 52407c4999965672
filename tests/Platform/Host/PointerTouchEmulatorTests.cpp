#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include "../UI/TouchTestSupport.h"
#include "Host/PointerTouchEmulator.h"
#include "UI/UIApplication.h"
#include "UI/UIPanGestureRecognizer.h"
#include "UI/UIPinchGestureRecognizer.h"
#include "UI/UIRotationGestureRecognizer.h"
#include "UI/UIWindow.h"

using namespace platform;

namespace {

using State = UIGestureRecognizerState;

class Together : public UIGestureRecognizerDelegate {
 public:
  bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
      UIGestureRecognizer&, UIGestureRecognizer&) override {
    return true;
  }
};

// A screen-sized view with a pan, a pinch and a rotation that may run together, fed by an
// emulator whose pivot is the screen's centre (160, 284).
class PointerTest : public platform::testing::TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    auto view = std::make_shared<UIView>(Rect(0, 0, 320, 568));
    window->addSubview(view);
    auto note = [this](const char* name) {
      return [this, name](UIGestureRecognizer& g) {
        if (g.state() == State::Began || g.state() == State::Ended || g.state() == State::Cancelled)
          log += std::string(log.empty() ? "" : " ") + name + ":" +
                 std::to_string(static_cast<int>(g.state()));
      };
    };
    pan = std::make_shared<UIPanGestureRecognizer>(note("pan"));
    pinch = std::make_shared<UIPinchGestureRecognizer>(note("pinch"));
    rotation = std::make_shared<UIRotationGestureRecognizer>(note("rotation"));
    for (auto r :
         std::initializer_list<std::shared_ptr<UIGestureRecognizer>>{pan, pinch, rotation}) {
      r->setDelegate(together);
      view->addGestureRecognizer(r);
    }
  }
  void TearDown() override {
    emulator.reset();
    TouchTest::TearDown();
  }
  // Runs what each touch posted, as the window host's frame loop does.
  void settle() { host->advanceBy(0.02); }

  std::unique_ptr<PointerTouchEmulator> emulator = std::make_unique<PointerTouchEmulator>(
      [this](const HostTouch& t) {
        fingers.insert(t.identifier);
        UIApplication::sharedApplication().handleHostTouch(t);
      },
      Point{160, 284});
  std::shared_ptr<Together> together = std::make_shared<Together>();
  std::shared_ptr<UIPanGestureRecognizer> pan;
  std::shared_ptr<UIPinchGestureRecognizer> pinch;
  std::shared_ptr<UIRotationGestureRecognizer> rotation;
  std::set<long> fingers;
  std::string log;
};

}  // namespace

TEST_F(PointerTest, ThePlainButtonIsOneFingerThatPans) {
  emulator->buttonDown(Point{100, 100}, false);
  for (int i = 1; i <= 5; ++i) {
    settle();
    emulator->pointerMoved(Point{100.0 + 10 * i, 100});
  }
  EXPECT_EQ(pan->translationInView(window.get()), (Point{50, 0}));
  emulator->buttonUp(Point{150, 100});
  settle();
  EXPECT_EQ(log, "pan:1 pan:3");
  EXPECT_EQ(fingers, (std::set<long>{PointerTouchEmulator::kPrimaryFinger}));
}

TEST_F(PointerTest, TheModifierMirrorsASecondFingerThroughThePivotToPinchAndRotate) {
  // 100 points right of the centre, the mirror 100 points left: 200 apart.
  emulator->buttonDown(Point{260, 284}, true);
  settle();
  // Halfway in: the fingers 100 apart.
  for (int i = 1; i <= 5; ++i) {
    emulator->pointerMoved(Point{260.0 - 10 * i, 284});
    settle();
  }
  EXPECT_NEAR(pinch->scale(), 0.5, 1e-6);
  EXPECT_NEAR(rotation->rotation(), 0, 1e-6);
  pinch->setScale(1);
  // A quarter turn around the centre at the same distance: clockwise on screen.
  for (int i = 1; i <= 9; ++i) {
    double a = i * std::numbers::pi / 18;
    emulator->pointerMoved(Point{160 + 50 * std::cos(a), 284 + 50 * std::sin(a)});
    settle();
  }
  EXPECT_NEAR(rotation->rotation(), std::numbers::pi / 2, 1e-6);
  EXPECT_NEAR(pinch->scale(), 1, 1e-6);
  emulator->buttonUp(Point{160, 334});
  settle();
  EXPECT_EQ(pinch->state(), State::Possible);
  EXPECT_NE(log.find("pinch:3"), std::string::npos) << log;
  EXPECT_NE(log.find("rotation:3"), std::string::npos) << log;
  EXPECT_EQ(fingers, (std::set<long>{PointerTouchEmulator::kPrimaryFinger,
                                     PointerTouchEmulator::kSecondFinger}));

  // A press on the pivot itself still puts the fingers apart, so the pinch has a distance.
  pinch->setScale(1);
  emulator->buttonDown(Point{160, 284}, true);
  settle();
  for (int i = 1; i <= 4; ++i) {
    emulator->pointerMoved(Point{160.0 + 10 * i, 284});
    settle();
  }
  EXPECT_TRUE(std::isfinite(pinch->scale()));
  EXPECT_GT(pinch->scale(), 1.5);
  emulator->buttonUp(Point{200, 284});
}

TEST_F(PointerTest, TheWheelPinchesAndTurnsAtThePointerAndLiftsAfterAPause) {
  for (int i = 0; i < 3; ++i) {
    emulator->wheel(Point{100, 200}, 1, false);
    settle();
  }
  EXPECT_TRUE(emulator->hasWheelFingers());
  EXPECT_NEAR(pinch->scale(), std::pow(PointerTouchEmulator::kWheelScaleStep, 3), 1e-6);
  // Turning, the same fingers stay down: one gesture goes on.
  emulator->wheel(Point{100, 200}, 2, true);
  settle();
  EXPECT_NEAR(rotation->rotation(), -2 * PointerTouchEmulator::kWheelRotationStep, 1e-6);
  EXPECT_NEAR(pinch->scale(), std::pow(PointerTouchEmulator::kWheelScaleStep, 3), 1e-6);
  EXPECT_EQ(log.find("pinch:3"), std::string::npos);
  host->advanceBy(PointerTouchEmulator::kWheelLiftDelay + 0.05);
  EXPECT_FALSE(emulator->hasWheelFingers());
  EXPECT_NE(log.find("pinch:3"), std::string::npos) << log;
  EXPECT_NE(log.find("rotation:3"), std::string::npos) << log;
  // Winding the fingers together stops at the least spread, never on one spot; the pan
  // never began.
  for (int i = 0; i < 60; ++i) emulator->wheel(Point{100, 200}, -1, false);
  settle();
  EXPECT_NEAR(pinch->scale(),
              PointerTouchEmulator::kMinimumSpread / PointerTouchEmulator::kWheelSpread, 1e-6);
  EXPECT_EQ(log.find("pan"), std::string::npos) << log;
  // A press in the middle of a wheel gesture ends it first.
  emulator->buttonDown(Point{100, 100}, false);
  EXPECT_FALSE(emulator->hasWheelFingers());
  // Losing the pointer cancels the finger: the pan it started is cancelled, not ended.
  log.clear();
  for (int i = 1; i <= 3; ++i) {
    settle();
    emulator->pointerMoved(Point{100.0 + 10 * i, 100});
  }
  emulator->cancel();
  EXPECT_FALSE(emulator->isButtonDown());
  settle();
  EXPECT_EQ(log, "pan:1 pan:4");
  emulator->buttonUp(Point{130, 100});  // the button's release after the loss is nothing
  settle();
  EXPECT_EQ(log, "pan:1 pan:4");
  EXPECT_EQ(UIApplication::sharedApplication().keyWindow(), window);
}
