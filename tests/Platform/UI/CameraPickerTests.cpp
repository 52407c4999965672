#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "Camera/CameraCapture.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/RunLoop.h"
#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/UIImagePickerController.h"

using namespace platform;
using namespace platform::testing;

namespace {

constexpr const char* kBlue640x480 =
    "videotestsrc pattern=solid-color foreground-color=0xff2040c0 ! "
    "video/x-raw,width=640,height=480";
using Source = UIImagePickerControllerSourceType;

class Delegate : public UIImagePickerControllerDelegate {
 public:
  void imagePickerControllerDidFinishPickingMediaWithInfo(
      UIImagePickerController& picker, const UIImagePickerMediaInfo& info) override {
    picked = std::any_cast<std::shared_ptr<Image>>(info.at(UIImagePickerControllerOriginalImage));
    mediaType = std::any_cast<std::string>(info.at(UIImagePickerControllerMediaType));
    picker.dismissViewControllerAnimated(true);
  }
  void imagePickerControllerDidCancel(UIImagePickerController& picker) override {
    ++cancels;
    picker.dismissViewControllerAnimated(true);
  }
  std::shared_ptr<Image> picked;
  std::string mediaType;
  int cancels = 0;
};

size_t threadCount() {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
    ++n;
  return n;
}

// The camera named through the offscreen host's option, as a program would name it.
class CameraPickerTest : public TouchTest {
 protected:
  void useCamera(std::optional<std::string> pipeline) {
    host.reset();  // one host at a time: each restores what it found
    host = std::make_unique<OffscreenHost>(DeviceProfile::phoneTall(),
                                           OffscreenHost::Options{std::move(pipeline)});
    root = std::make_shared<UIViewController>();
    window->setRootViewController(root);
  }
  void TearDown() override {
    TouchTest::TearDown();
    EXPECT_EQ(UIImagePickerController::cameraPipeline(), std::nullopt);  // the host restored it
  }
  std::shared_ptr<UIImagePickerController> presentCamera() {
    auto picker = std::make_shared<UIImagePickerController>();
    picker->setSourceType(Source::Camera);
    picker->setDelegate(delegate);
    root->presentViewController(picker, true);
    host->advanceBy(1);
    return picker;
  }
  // Real time for the pipeline's threads, generous for a loaded machine.
  static bool waitFor(const std::function<bool()>& condition) {
    return RunLoop::main().runUntil(condition, 60);
  }
  std::shared_ptr<UIViewController> root;
  std::shared_ptr<Delegate> delegate = std::make_shared<Delegate>();
};

}  // namespace

TEST_F(CameraPickerTest, TheShutterTakesTheLiveFrameAndCancelCancels) {
  useCamera(kBlue640x480);
  ASSERT_TRUE(UIImagePickerController::isSourceTypeAvailable(Source::Camera));
  const size_t threads = threadCount();
  auto picker = presentCamera();
  EXPECT_FALSE(picker->shutterButton()->isEnabled());  // nothing to take yet
  ASSERT_TRUE(waitFor([&] { return picker->cameraFrame() != nullptr; }));
  EXPECT_TRUE(picker->shutterButton()->isEnabled());
  EXPECT_EQ(UIApplication::sharedApplication().statusBarStyle(), UIStatusBarStyle::BlackOpaque);
  // The preview shows the frame, fitted above the bar.
  auto screen = host->captureScreen();
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->bitmap().pixel(320, 500), 0xFF2040C0u);

  host->tapView(*picker->shutterButton());
  ASSERT_TRUE(delegate->picked);
  EXPECT_EQ(delegate->picked->pixelWidth(), 640);
  EXPECT_EQ(delegate->picked->pixelHeight(), 480);
  EXPECT_EQ(delegate->picked->orientation(), ImageOrientation::Up);
  EXPECT_EQ(delegate->picked->bitmap().pixel(0, 0), 0xFF2040C0u);
  EXPECT_EQ(delegate->picked->bitmap().pixel(639, 479), 0xFF2040C0u);
  EXPECT_EQ(delegate->mediaType, kUTTypeImage);
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(UIApplication::sharedApplication().statusBarStyle(), UIStatusBarStyle::Default);
  // Gone from the screen, the camera has stopped and left no thread behind.
  EXPECT_TRUE(waitFor([&] { return threadCount() <= threads; })) << threadCount() << " " << threads;

  picker = presentCamera();
  ASSERT_TRUE(tapButtonTitled(picker->view().get(), "Cancel"));
  EXPECT_EQ(delegate->cancels, 1);
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);

  // A source that says it is turned a quarter gives upright pictures.
  useCamera(
      "videotestsrc ! video/x-raw,width=64,height=48 ! "
      "taginject tags=\"image-orientation=rotate-90\"");
  picker = presentCamera();
  ASSERT_TRUE(waitFor([&] {
    auto frame = picker->cameraFrame();
    return frame && frame->pixelWidth() == 48 && frame->pixelHeight() == 64;
  }));
  host->tapView(*picker->shutterButton());
  EXPECT_EQ(delegate->picked->size(), (Size{48, 64}));
}

TEST_F(CameraPickerTest, NoCameraIsUnavailableAndABrokenOneFailsCleanly) {
  // Only video capture nodes count: not a file or a pipe of that name.
  testing_support::TemporaryDirectory dev;
  ASSERT_TRUE(AtomicFile::write(dev.file("video0"), Bytes{1}));
  ASSERT_EQ(mkfifo(dev.file("video1").c_str(), 0600), 0);
  EXPECT_TRUE(CameraCapture::captureDevices(dev.path()).empty());
  useCamera(std::nullopt);
  if (CameraCapture::captureDevices().empty()) {
    EXPECT_FALSE(UIImagePickerController::isSourceTypeAvailable(Source::Camera));
  }

  testing_support::ConsoleCapture console;
  useCamera("nosuchelement ! videoconvert");
  EXPECT_FALSE(UIImagePickerController::isSourceTypeAvailable(Source::Camera));
  EXPECT_EQ(console.lines().size(), 1u);

  // Pipelines that build but fail as they run, or end: a console line and a cancel.
  int cancels = 0;
  for (const char* pipeline :
       {"filesrc location=/nonexistent/frames ! rawvideoparse width=64 height=48",
        "videotestsrc num-buffers=2 ! video/x-raw,width=64,height=48"}) {
    SCOPED_TRACE(pipeline);
    useCamera(pipeline);
    EXPECT_TRUE(UIImagePickerController::isSourceTypeAvailable(Source::Camera));
    auto picker = presentCamera();
    EXPECT_TRUE(waitFor([&] { return delegate->cancels > cancels; }));
    cancels = delegate->cancels;
    EXPECT_FALSE(picker->shutterButton()->isEnabled());
    EXPECT_FALSE(picker->cameraFrame());  // nothing left to take
    host->advanceBy(1);
    EXPECT_EQ(root->presentedViewController(), nullptr);
  }
  int cameraLines = 0;
  for (const auto& line : console.lines()) cameraLines += line.rfind("Camera: ", 0) == 0;
  EXPECT_EQ(cameraLines, 2);
  EXPECT_FALSE(delegate->picked);
}
