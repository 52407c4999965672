#include <gtest/gtest.h>

#include <fstream>

#include "AppUI/AboutViewController.h"
#include "AppUI/AppUIClasses.h"
#include "AppUI/SocialFunctions.h"
#include "Foundation/Bundle.h"
#include "GeneralTools/AppDelegateScreens.h"
#include "GeneralTools/Tools.h"
#include "RecordingTracker.h"
#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/MFMailComposeViewController.h"
#include "UI/UINavigationController.h"

using namespace platform;
using platform::testing::TouchTest;

namespace {

class Delegate : public UIApplicationDelegate, public AppDelegateScreens {
 public:
  bool canUseInterfaceOrientation(UIInterfaceOrientation) const override { return true; }
  std::shared_ptr<UINavigationController> navigationController() const override {
    return navigation;
  }
  std::shared_ptr<UINavigationController> navigation;
};

class AboutAndMailTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    AppUIClasses::registerAll();
    tracker = std::make_shared<RecordingTracker>();
    Tools::Instance().setAnalyticsTracker(tracker);
    MFMailComposeViewController::setOutboxDirectory(outbox.path());
    UIApplication::sharedApplication().setURLOpener([this](const std::string& url) {
      opened.push_back(url);
      return true;
    });
    delegate = std::make_shared<Delegate>();
    UIApplication::sharedApplication().setDelegate(delegate);
  }
  void TearDown() override {
    Tools::Instance().setAnalyticsTracker(nullptr);
    MFMailComposeViewController::setOutboxDirectory(std::nullopt);
    TouchTest::TearDown();
  }
  std::shared_ptr<RecordingTracker> tracker;
  std::shared_ptr<Delegate> delegate;
  testing_support::TemporaryDirectory outbox;
  std::vector<std::string> opened;
};

TEST_F(AboutAndMailTest, AboutActionsReportThemselvesAndOpenTheirLinksAndMails) {
  auto about = std::static_pointer_cast<AboutViewController>(
      Tools::loadViewControllerNamed("AboutViewController"));
  ASSERT_TRUE(about);
  delegate->navigation = std::make_shared<UINavigationController>(about);
  window->setRootViewController(delegate->navigation);
  host->advanceBy(1);
  // The interface file's texts are localized and the version template filled in.
  testing_support::ScopedEnvironment english("LANGUAGE", "en");
  EXPECT_TRUE(tapButtonTitled(about->view().get(), "Rate the App"));
  host->advanceBy(1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].rfind("https://", 0), 0u);
  about->openMail();
  host->advanceBy(1);
  auto mail = std::dynamic_pointer_cast<MFMailComposeViewController>(
      delegate->navigation->presentedViewController());
  ASSERT_TRUE(mail);
  EXPECT_EQ(mail->subject().find("_Loc_"), std::string::npos);
  mail->cancel();
  host->advanceBy(1);
  EXPECT_FALSE(delegate->navigation->presentedViewController());  // dismissed, whatever the result
  std::vector<std::string> social;
  for (const auto& call : tracker->calls)
    if (call.find("|Social|") != std::string::npos) social.push_back(call);
  EXPECT_EQ(social, (std::vector<std::string>{"AboutViewController|Social|Rate|1",
                                              "AboutViewController|Social|Mail|1"}));
}

TEST_F(AboutAndMailTest, MailsCarryTheirSubjectsAndNoPlaceholders) {
  testing_support::TemporaryDirectory bundle;
  std::ofstream(bundle.file("Info.plist"))
      << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleName</key>"
         "<string>X</string><key>CFBundleVersion</key><string>1.2</string></dict></plist>";
  std::string body;
  {
    auto resources = Bundle::mainBundle();
    Bundle::setMainBundlePath(bundle.path());
    EXPECT_EQ(SocialFunctions::supportMailSubject(), "X iPhone ver. 1.2 - Support");
    Bundle::setMainBundlePath(resources->bundlePath());
  }
  body = SocialFunctions::shareMailBody();
  for (const char* placeholder :
       {"%app_page_url%", "%app_store_url%", "%mail_img_url%", "%app_support_mail%", "%appname%"})
    EXPECT_EQ(body.find(placeholder), std::string::npos) << placeholder;
  EXPECT_NE(body.find("https://"), std::string::npos);

  // Without a screen to show it over, no mail is shown; without an outbox, none is made.
  {
    testing_support::ConsoleCapture console;
    SocialFunctions::sendSupportMail();
  }
  delegate->navigation =
      std::make_shared<UINavigationController>(std::make_shared<UIViewController>());
  window->setRootViewController(delegate->navigation);
  MFMailComposeViewController::setOutboxDirectory(std::nullopt);
  testing_support::ScopedEnvironment noHome("HOME", std::nullopt);
  testing_support::ScopedEnvironment noData("XDG_DATA_HOME", std::nullopt);
  if (!MFMailComposeViewController::canSendMail()) {
    testing_support::ConsoleCapture console;
    SocialFunctions::sendSupportMail();
    EXPECT_FALSE(delegate->navigation->presentedViewController());
  }
  MFMailComposeViewController::setOutboxDirectory(outbox.path());
  SocialFunctions::sendSupportMail();
  auto mail = std::dynamic_pointer_cast<MFMailComposeViewController>(
      delegate->navigation->presentedViewController());
  ASSERT_TRUE(mail);
  EXPECT_EQ(mail->toRecipients(), std::vector<std::string>{"support@pictavia.org"});
}

}  // namespace
