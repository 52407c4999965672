// The main screen on the offscreen host over the sample pack synced from the reference server:
// its badges follow the clipart files that arrive and leave while it is seen.
#include <gtest/gtest.h>

#include <filesystem>

#include "AppUI/AppUIClasses.h"
#include "AppUI/AssetViewController.h"
#include "AppUI/MainViewController.h"
#include "GeneralTools/Localization.h"
#include "Host/OffscreenHost.h"
#include "SyncedPack.h"
#include "UI/UIApplication.h"
#include "UI/UINavigationController.h"
#include "UI/UIScreen.h"
#include "UI/UIWindow.h"

using namespace platform;
using namespace content_testing;

namespace {

class MainScreenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pack = new SyncedPack;
    AppUIClasses::registerAll();
  }
  static void TearDownTestSuite() { delete pack, pack = nullptr; }

  MainScreenTest() : host(DeviceProfile::phone35(2)) {
    Bundle::setMainBundlePath(std::string(PICTAVIA_RESOURCES_DIR));
    Tools::Instance().setDefaultBundle(Bundle::mainBundle());
    UIApplication::sharedApplication().reset();
    window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
    window->makeKeyAndVisible();
    // The editor's first visit would show its help tour over it.
    DataSource::data().insert_or_assign("AssetHelpDisplayed" + std::to_string(ContentTypeClipart),
                                        Value(true));
  }
  ~MainScreenTest() override {
    if (navigation) navigation->popToRootViewControllerAnimated(false);
    UIApplication::sharedApplication().reset();
    Bundle::setMainBundlePath(pack->fixture.resourcePath(""));
  }
  // Publishes the pack with (or without) a clipart of its own and syncs the device.
  void changeClipart99(bool present) {
    for (const char* variant : {".png", "_iph5.png", "_small.png"}) {
      std::string copy = pack->source.file(std::string("clipart99") + variant);
      if (present)
        std::filesystem::copy_file(pack->source.file(std::string("clipart1") + variant), copy);
      else
        std::filesystem::remove(copy);
    }
    pack->publish();
    ASSERT_NO_FATAL_FAILURE(pack->update());
    host.advanceBy(0.5);
  }
  static UIButton* buttonTitled(UIView& tree, const std::string& title) {
    for (const auto& child : tree.subviews())
      if (auto* button = dynamic_cast<UIButton*>(child.get());
          button && button->titleForState(UIControlStateNormal) == title)
        return button;
    return nullptr;
  }

  static inline SyncedPack* pack = nullptr;
  OffscreenHost host;
  std::shared_ptr<UIWindow> window;
  std::shared_ptr<UINavigationController> navigation;
};

TEST_F(MainScreenTest, TheClipartsBadgeShowsNewAndRemovedFilesUntilTheEditorIsOpened) {
  ContentControl& content = *ContentControl::Instance();
  for (ContentType type :
       {ContentTypeBackground, ContentTypePhotoFrame, ContentTypeClipart, ContentTypeFaceEffect})
    content.setAllConetnViewedForType(type);
  auto main = std::dynamic_pointer_cast<MainViewController>(
      Tools::loadViewControllerNamed("MainViewController"));
  ASSERT_TRUE(main);
  navigation = std::make_shared<UINavigationController>(main);
  window->setRootViewController(navigation);
  host.advanceBy(0.5);
  UIButton& badge = *main->lblBonusCliparts;
  EXPECT_EQ(badge.alpha(), 0);

  // New files arrive while the main screen is seen: only the cliparts badge shows, untitled.
  ASSERT_NO_FATAL_FAILURE(changeClipart99(true));
  EXPECT_EQ(content.newContentForType(ContentTypeClipart), 2);  // the picture and its thumbnail
  EXPECT_EQ(badge.alpha(), 1);
  EXPECT_EQ(badge.titleForState(UIControlStateNormal), std::string());
  for (UIButton* other : {main->lblBonusBackgrounds.get(), main->lblBonusFrames.get(),
                          main->lblBonusFaceEffects.get()})
    EXPECT_EQ(other->alpha(), 0);

  // The cliparts button opens the editor; back on the main screen the badge is gone.
  UIButton* cliparts =
      buttonTitled(*main->view(), Localization::Instance().localizationForKey("_Loc_MainCliparts"));
  ASSERT_TRUE(cliparts);
  host.tapView(*cliparts);
  host.advanceBy(1);
  auto* editor = dynamic_cast<AssetViewController*>(navigation->topViewController());
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->contentType(), ContentTypeClipart);
  EXPECT_EQ(badge.alpha(), 1);  // not refreshed while hidden
  navigation->popViewControllerAnimated(false);
  host.advanceBy(0.5);
  EXPECT_EQ(badge.alpha(), 0);

  // Files removed on the server leave a negative count: no news while the screen is seen, but
  // the badge shows when it appears again.
  ASSERT_NO_FATAL_FAILURE(changeClipart99(false));
  EXPECT_EQ(content.newContentForType(ContentTypeClipart), -2);
  EXPECT_EQ(badge.alpha(), 0);
  main->showAbout();
  host.advanceBy(1);
  EXPECT_EQ(navigation->topViewController()->className(), "AboutViewController");
  navigation->popViewControllerAnimated(false);
  host.advanceBy(0.5);
  EXPECT_EQ(badge.alpha(), 1);
}

}  // namespace
