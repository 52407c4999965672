#include <gtest/gtest.h>

#include <filesystem>

#include "Foundation/RunLoop.h"
#include "Graphics/ImageDecoder.h"
#include "Host/OffscreenHost.h"
#include "LifecycleRecorder.h"
#include "TestSupport.h"
#include "UI/UIApplication.h"
#include "UI/UIScreen.h"
#include "UI/UIView.h"
#include "UI/UIWindow.h"

using namespace platform;
using host_test::LifecycleRecorder;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;

// A white screen without a status bar, holding one red square at (20, 40) of 40 points that
// turns blue five seconds after launch and starts sliding right by 100 points over 2 s at 10 s.
class OffscreenHostTest : public ::testing::Test {
 protected:
  void TearDown() override {
    UIApplication::sharedApplication().reset();
    RunLoop::main().runPending();
  }

  std::shared_ptr<LifecycleRecorder> makeDelegate() {
    return std::make_shared<LifecycleRecorder>([this] {
      UIApplication::sharedApplication().setStatusBarHidden(true);
      _window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
      _window->setBackgroundColor(UIColor::whiteColor());
      _square = std::make_shared<UIView>(Rect(20, 40, 40, 40));
      _square->setBackgroundColor(UIColor::redColor());
      _window->addSubview(_square);
      _window->makeKeyAndVisible();
      auto square = _square;
      RunLoop::main().schedule(5, [square] { square->setBackgroundColor(UIColor::blueColor()); });
      RunLoop::main().schedule(10, [square] {
        UIView::animateWithDuration(
            2, 0, UIViewAnimationOptionCurveLinear,
            [&] {
              square->setCenter(Point{140, 60});
            },
            nullptr);
      });
    });
  }

  // The screen's pixel at a point, at the scale the capture was made.
  static std::uint32_t at(const Image& image, double x, double y) {
    return image.bitmap().pixel(static_cast<int>(x * image.scale()),
                                static_cast<int>(y * image.scale()));
  }

  std::shared_ptr<UIWindow> _window;
  std::shared_ptr<UIView> _square;
};

}  // namespace

TEST_F(OffscreenHostTest, CapturesAtTheProfilesPixelSizeAndRestoresTheProfileAndClock) {
  testing_support::ScopedDeviceProfile outer(DeviceProfile::tablet());
  auto clock = RunLoop::main().clock();
  struct Case {
    DeviceProfile profile;
    int width, height;
  };
  for (const Case& c :
       {Case{DeviceProfile::phoneTall(), 640, 1136}, Case{DeviceProfile::phone35(1), 320, 480},
        Case{DeviceProfile::phone35(2), 640, 960}}) {
    OffscreenHost host(c.profile);
    EXPECT_EQ(DeviceProfile::current().screenHeight, c.profile.screenHeight);
    EXPECT_TRUE(RunLoop::main().clock()->isVirtual());
    host.launch(makeDelegate());
    auto screen = host.captureScreen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->pixelWidth(), c.width);
    EXPECT_EQ(screen->bitmap().height(), c.height);
    EXPECT_EQ(screen->scale(), c.profile.scale);
    EXPECT_EQ(at(*screen, 30, 50), kRed);
    EXPECT_EQ(at(*screen, 10, 50), kWhite);
    host.terminate();
    UIApplication::sharedApplication().reset();
  }
  EXPECT_EQ(DeviceProfile::current().screenWidth, DeviceProfile::tablet().screenWidth);
  EXPECT_EQ(RunLoop::main().clock(), clock);
}

TEST_F(OffscreenHostTest, TheVirtualClockFiresTimersAndMovesAnimationsAndScreenshotsShowThem) {
  testing_support::TemporaryDirectory directory;
  {  // Without a window there is no screen to capture.
    testing_support::ConsoleCapture console;
    OffscreenHost bare;
    bare.launch(std::make_shared<LifecycleRecorder>());
    EXPECT_FALSE(bare.captureScreen());
    EXPECT_FALSE(bare.writeScreenshot(directory.file("screen.png")));
    EXPECT_FALSE(std::filesystem::exists(directory.file("screen.png")));
    UIApplication::sharedApplication().reset();
  }
  OffscreenHost host;
  host.launch(makeDelegate());
  double start = RunLoop::main().now();
  host.advanceBy(4.9);
  EXPECT_EQ(at(*host.captureScreen(), 30, 50), kRed);
  host.advanceBy(0.2);
  EXPECT_EQ(at(*host.captureScreen(), 30, 50), kBlue);
  EXPECT_NEAR(RunLoop::main().now() - start, 5.1, 1e-9);

  // Halfway through the slide (11 s): the square spans x 70 to 110.
  host.advanceBy(5.9);
  auto halfway = host.captureScreen();
  EXPECT_EQ(at(*halfway, 65, 60), kWhite);
  EXPECT_EQ(at(*halfway, 75, 60), kBlue);
  EXPECT_EQ(at(*halfway, 105, 60), kBlue);
  EXPECT_EQ(at(*halfway, 115, 60), kWhite);
  // The screenshot file decodes back to exactly the captured pixels.
  std::string path = directory.file("screen.png");
  ASSERT_TRUE(host.writeScreenshot(path));
  auto decoded = ImageDecoder::imageWithContentsOfFile(path);
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->pixelWidth(), 640);
  ASSERT_EQ(decoded->bitmap().height(), 1136);
  int differing = 0;
  for (int y = 0; y < 1136; ++y)
    for (int x = 0; x < 640; ++x)
      differing += decoded->bitmap().pixel(x, y) != halfway->bitmap().pixel(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(decoded->bitmap().pixel(180, 120), kBlue);  // the point (90, 60) at scale 2
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(host.writeScreenshot(directory.file("missing/folder/screen.png")));
  EXPECT_FALSE(console.lines().empty());

  host.advanceBy(1.5);
  auto done = host.captureScreen();
  EXPECT_EQ(at(*done, 105, 60), kWhite);
  EXPECT_EQ(at(*done, 155, 60), kBlue);
}

TEST_F(OffscreenHostTest, LifecycleCallsArriveInOrder) {
  OffscreenHost host;
  auto delegate = makeDelegate();
  host.launch(delegate);
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"didFinishLaunching", "didBecomeActive"}));
  EXPECT_EQ(UIApplication::sharedApplication().applicationState(), UIApplicationState::Active);
  UIApplication::sharedApplication().enterBackground();
  UIApplication::sharedApplication().enterForeground();
  host.terminate();
  EXPECT_EQ(delegate->calls,
            (std::vector<std::string>{"didFinishLaunching", "didBecomeActive", "willResignActive",
                                      "didEnterBackground", "willEnterForeground",
                                      "didBecomeActive", "willResignActive", "willTerminate"}));
  EXPECT_TRUE(UIApplication::sharedApplication().isTerminated());
  // Nothing reaches the delegate after termination.
  host.terminate();
  UIApplication::sharedApplication().becomeActive();
  EXPECT_EQ(delegate->calls.size(), 8u);
}
