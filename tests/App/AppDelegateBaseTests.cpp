#include <gtest/gtest.h>

#include <fstream>

#include "App/AppDelegateBase.h"
#include "Foundation/Bundle.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/Tools.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/ImageEncoder.h"
#include "Host/OffscreenHost.h"
#include "TestSupport.h"
#include "UI/UIApplication.h"
#include "UI/UIImageView.h"

using namespace platform;
using testing_support::ScopedAppContainer;
using testing_support::TemporaryDirectory;

namespace {

// Counts its appearance calls.
class CountingScreen : public UIViewController {
 public:
  void viewWillAppear(bool) override { log += "willAppear "; }
  void viewDidAppear(bool) override { log += "didAppear "; }
  void viewWillDisappear(bool) override { log += "willDisappear "; }
  void viewDidDisappear(bool) override { log += "didDisappear "; }
  std::string log;
};

class Delegate : public AppDelegateBase {
 public:
  bool applicationDidFinishLaunching(UIApplication& application,
                                     const Dictionary& options) override {
    AppDelegateBase::applicationDidFinishLaunching(application, options);
    initNavigationControllerWithRootViewController(screen);
    showAndFadeoutDefaultImage([this] { ++splashDone; });
    return true;
  }
  std::shared_ptr<CountingScreen> screen = std::make_shared<CountingScreen>();
  int splashDone = 0;
};

void writePicture(const std::string& path, int width, int height) {
  auto context = BitmapContext::create(width, height, false);
  context->setFillColor(0.2, 0.4, 0.8, 1);
  context->fillRect(Rect(0, 0, width, height / 2.0));  // blue at the bottom
  std::ofstream(path, std::ios::binary) << std::string(
      reinterpret_cast<const char*>(ImageEncoder::pngData(*context->makeImage())->data()),
      ImageEncoder::pngData(*context->makeImage())->size());
}

class AppDelegateBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UIApplication::sharedApplication().reset();
    std::ofstream(_bundle.file("Info.plist"))
        << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleVersion</key>"
           "<string>1.0</string></dict></plist>";
    Bundle::setMainBundlePath(_bundle.path());
    Tools::Instance().setDefaultBundle(Bundle::mainBundle());
    DataSource::data().clear();
  }
  void TearDown() override {
    UIApplication::sharedApplication().reset();
    Bundle::setMainBundlePath(std::nullopt);
    Tools::Instance().setDefaultBundle(Bundle::mainBundle());
    DataSource::data().clear();
  }
  // The launch picture laid over the window, if it is still there.
  static UIImageView* splash(const UIWindow& window) {
    for (const auto& child : window.subviews())
      if (auto* view = dynamic_cast<UIImageView*>(child.get())) return view;
    return nullptr;
  }
  ScopedAppContainer _container;
  TemporaryDirectory _bundle;
};

TEST_F(AppDelegateBaseTest, LaunchMakesTheWindowFadesTheLaunchPictureAndForwardsTheLifecycle) {
  writePicture(_bundle.file("Default.png"), 320, 480);
  writePicture(_bundle.file("Default@2x.png"), 640, 960);
  writePicture(_bundle.file("Default-568h@2x.png"), 640, 1136);
  OffscreenHost host(DeviceProfile::phoneTall());
  auto delegate = std::make_shared<Delegate>();
  host.launch(delegate);
  ASSERT_TRUE(delegate->mainWindow());
  EXPECT_TRUE(delegate->mainWindow()->isKeyWindow());
  EXPECT_EQ(delegate->mainWindow()->frame(), Rect(0, 0, 320, 568));
  EXPECT_EQ(Tools::Instance().runCount(), 1);  // Tools started first
  EXPECT_EQ(delegate->navigationController()->topViewController(), delegate->screen.get());
  EXPECT_EQ(delegate->tabBarController(), nullptr);
  UIImageView* picture = splash(*delegate->mainWindow());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->image()->pixelHeight(), 1136);
  EXPECT_EQ(delegate->splashDone, 0);
  host.advanceBy(0.6);
  EXPECT_EQ(splash(*delegate->mainWindow()), nullptr);
  EXPECT_EQ(delegate->splashDone, 1);

  // Portrait only, and the mask says so.
  EXPECT_EQ(delegate->applicationSupportedInterfaceOrientations(UIApplication::sharedApplication(),
                                                                nullptr),
            2u);
  EXPECT_FALSE(delegate->canUseInterfaceOrientation(UIInterfaceOrientation::LandscapeLeft));

  delegate->screen->log.clear();
  UIApplication::sharedApplication().enterBackground();
  EXPECT_EQ(delegate->screen->log, "willDisappear didDisappear ");
  UIApplication::sharedApplication().enterForeground();
  EXPECT_EQ(delegate->screen->log, "willDisappear didDisappear willAppear didAppear ");
  EXPECT_EQ(Tools::Instance().appActiveCount(), 2);
}

TEST_F(AppDelegateBaseTest, TheLaunchPictureSuitsTheDevice) {
  writePicture(_bundle.file("Default-Landscape.png"), 1024, 748);
  {
    // A tablet without a portrait picture turns the landscape one upright.
    testing_support::ScopedDeviceProfile tablet(DeviceProfile::tablet());
    auto image = AppDelegateBase::defaultImage();
    ASSERT_TRUE(image);
    // Turned in single precision: the canvas may take one column more.
    EXPECT_NEAR(image->size().width, 748, 1);
    EXPECT_EQ(image->size().height, 1024);
  }
  writePicture(_bundle.file("Default.png"), 320, 480);
  writePicture(_bundle.file("Default@2x.png"), 640, 960);
  {
    // The tall phone falls back to the ordinary picture, at its resolution.
    testing_support::ScopedDeviceProfile tall(DeviceProfile::phoneTall());
    EXPECT_EQ(AppDelegateBase::defaultImage()->pixelHeight(), 960);
    testing_support::ScopedDeviceProfile small(DeviceProfile::phone35(1));
    EXPECT_EQ(AppDelegateBase::defaultImage()->pixelHeight(), 480);
    testing_support::ScopedDeviceProfile tablet(DeviceProfile::tablet());
    EXPECT_EQ(AppDelegateBase::defaultImage()->pixelHeight(), 480);
  }
}

}  // namespace
