#include <SDL.h>
#include <gtest/gtest.h>

#include "Foundation/RunLoop.h"
#include "Host/WindowHost.h"
#include "LifecycleRecorder.h"
#include "TestSupport.h"
#include "UI/CALayer.h"
#include "UI/UIApplication.h"
#include "UI/UIScreen.h"
#include "UI/UIView.h"
#include "UI/UIWindow.h"

using namespace platform;
using host_test::LifecycleRecorder;

namespace {

constexpr double kFrame = 1.0 / 60;

// SDL's dummy video driver gives a real window and renderer without a display; the loop's
// virtual clock paces the host's frames, moved by a task that runs inside the host's loop.
class WindowHostTest : public ::testing::Test {
 protected:
  void TearDown() override {
    UIApplication::sharedApplication().reset();
    RunLoop::main().runPending();
  }

  testing_support::ScopedEnvironment _driver{"SDL_VIDEODRIVER", std::string("dummy")};
  testing_support::ScopedDeviceProfile _profile{DeviceProfile::current()};
  testing_support::VirtualTime _time;
};

}  // namespace

TEST_F(WindowHostTest, PresentsOnlyWhenSomethingChangedAndClosesThroughTheLifecycle) {
  std::shared_ptr<UIWindow> window;
  std::shared_ptr<UIView> square;
  auto delegate = std::make_shared<LifecycleRecorder>([&] {
    window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
    window->setBackgroundColor(UIColor::whiteColor());
    square = std::make_shared<UIView>(Rect(20, 40, 40, 40));
    square->setBackgroundColor(UIColor::redColor());
    window->addSubview(square);
    window->makeKeyAndVisible();
  });
  WindowHost host(DeviceProfile::phone35(1), WindowHost::Options{"test", 1, 0});
  RunLoop& loop = RunLoop::main();
  size_t othersTimers = loop.pendingTimerCount();  // left by earlier tests
  UIApplication& app = UIApplication::sharedApplication();
  bool drove = false;

  loop.post([&] {
    drove = true;
    EXPECT_EQ(DeviceProfile::current().screenHeight, 480);
    loop.advanceBy(5 * kFrame);
    long shown = host.framesPresented();
    EXPECT_GE(shown, 1);
    // Nothing changes: nothing is presented, however many frames pass, and nothing waits to
    // wake the host.
    loop.advanceBy(30 * kFrame);
    EXPECT_EQ(host.framesPresented(), shown);
    EXPECT_EQ(loop.pendingTimerCount(), othersTimers);
    // One change: one frame, of the changed square only (40x40 points, a margin around).
    double pixels = host.pixelsPresented();
    square->setBackgroundColor(UIColor::blueColor());
    loop.advanceBy(30 * kFrame);
    EXPECT_EQ(host.framesPresented(), shown + 1);
    EXPECT_GT(host.pixelsPresented() - pixels, 40 * 40);
    EXPECT_LT(host.pixelsPresented() - pixels, 50 * 50);
    // An animation is presented frame by frame until it ends.
    UIView::animateWithDuration(0.5, [&] { square->setCenter(Point{200, 60}); });
    loop.advanceBy(0.5 + kFrame / 2);
    long animated = host.framesPresented() - (shown + 1);
    EXPECT_GE(animated, 25);
    EXPECT_LE(animated, 32);
    EXPECT_EQ(CALayer::layersAnimating(), 0);
    long settled = host.framesPresented();
    loop.advanceBy(30 * kFrame);
    EXPECT_LE(host.framesPresented(), settled + 1);  // at most the final look once more
    EXPECT_EQ(app.applicationState(), UIApplicationState::Active);

    // Closing the window, as the window manager does.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(SDL_PushEvent(&quit), 1);
    loop.advanceBy(2 * kFrame);
    EXPECT_TRUE(app.isTerminated());
    if (!app.isTerminated()) loop.stop();  // never hang the test
  });
  EXPECT_EQ(host.run(delegate), 0);
  EXPECT_TRUE(drove);
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"didFinishLaunching", "didBecomeActive",
                                                       "willResignActive", "willTerminate"}));
}

TEST_F(WindowHostTest, QuitsAfterTheGivenTimeThroughTheLifecycle) {
  auto delegate = std::make_shared<LifecycleRecorder>([] {
    auto window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
    window->makeKeyAndVisible();
  });
  WindowHost host(DeviceProfile::phoneTall(), WindowHost::Options{"test", 0.5, 2});
  RunLoop& loop = RunLoop::main();
  loop.post([&] {
    loop.advanceBy(1.9);
    EXPECT_FALSE(UIApplication::sharedApplication().isTerminated());
    loop.advanceBy(0.2);
    if (!UIApplication::sharedApplication().isTerminated()) loop.stop();
  });
  EXPECT_EQ(host.run(delegate), 0);
  EXPECT_TRUE(UIApplication::sharedApplication().isTerminated());
  EXPECT_EQ(delegate->calls.back(), "willTerminate");
  EXPECT_GE(host.framesPresented(), 1);
}
