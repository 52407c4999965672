#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/MFMailComposeViewController.h"
#include "UI/UIButton.h"

using namespace platform;
using namespace platform::testing;
using testing_support::TemporaryDirectory;

namespace {

class MailDelegate : public MFMailComposeViewControllerDelegate {
 public:
  void mailComposeControllerDidFinishWithResult(MFMailComposeViewController& controller,
                                                MFMailComposeResult result,
                                                const std::optional<std::string>&) override {
    results.push_back(result);
    controller.dismissViewControllerAnimated(true);
  }
  std::vector<MFMailComposeResult> results;
};

class MailComposerTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    MFMailComposeViewController::setOutboxDirectory(outbox.path() + "/Outbox");
    root = std::make_shared<UIViewController>();
    window->setRootViewController(root);
  }
  void TearDown() override {
    MFMailComposeViewController::setOutboxDirectory(std::nullopt);
    TouchTest::TearDown();
  }
  void tapButtonTitled(UIView* tree, const std::string& title) {
    for (const auto& child : tree->subviews()) {
      if (auto* b = dynamic_cast<UIButton*>(child.get());
          b && b->titleForState(UIControlStateNormal) == title) {
        Rect r = b->bounds();
        host->tap(b->convertPointToView(Point{r.midX(), r.midY()}, window.get()));
        return;
      }
      tapButtonTitled(child.get(), title);
    }
  }
  std::vector<std::string> outboxFiles() const {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(outbox.path() + "/Outbox", ec))
      files.push_back(e.path().string());
    return files;
  }
  TemporaryDirectory outbox;
  std::shared_ptr<UIViewController> root;
};

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST_F(MailComposerTest, SendWritesAnEmlAndTellsTheDelegate) {
  ASSERT_TRUE(MFMailComposeViewController::canSendMail());
  auto delegate = std::make_shared<MailDelegate>();
  auto mail = std::make_shared<MFMailComposeViewController>();
  mail->setMailComposeDelegate(delegate);
  mail->setSubject("Pictavia - Support");
  mail->setToRecipients({"support@example.org"});
  mail->setMessageBody("<p>Hello</p>", true);
  mail->addAttachmentData(Bytes{'a', 'b', 'c'}, "audio/aac", "ringtone.m4r");
  root->presentViewController(mail, true);
  host->advanceBy(1);
  tapButtonTitled(mail->view().get(), "Send");
  EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Sent}));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  auto files = outboxFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(std::filesystem::path(files[0]).extension(), ".eml");
  std::string eml = readAll(files[0]);
  EXPECT_NE(eml.find("To: support@example.org\r\n"), std::string::npos);
  EXPECT_NE(eml.find("Subject: Pictavia - Support\r\n"), std::string::npos);
  EXPECT_NE(eml.find("Content-Type: text/html; charset=UTF-8"), std::string::npos);
  EXPECT_NE(eml.find("PHA+SGVsbG88L3A+"), std::string::npos);  // the body, base64
  EXPECT_NE(eml.find("Content-Type: audio/aac; name=\"ringtone.m4r\""), std::string::npos);
  EXPECT_NE(eml.find("\r\nYWJj\r\n"), std::string::npos);  // "abc"
}

TEST_F(MailComposerTest, CancelWritesNothingAndHeadersCannotBeForged) {
  auto delegate = std::make_shared<MailDelegate>();
  auto mail = std::make_shared<MFMailComposeViewController>();
  mail->setMailComposeDelegate(delegate);
  mail->setSubject("Hi\r\nBcc: victim@example.org");
  mail->setToRecipients({"a@example.org\r\nBcc: b@example.org"});
  root->presentViewController(mail, false);
  tapButtonTitled(mail->view().get(), "Cancel");
  EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Cancelled}));
  EXPECT_TRUE(outboxFiles().empty());
  std::string eml = mail->mimeMessage();
  EXPECT_EQ(eml.find("\r\nBcc:"), std::string::npos);
  EXPECT_NE(eml.find("Subject: =?UTF-8?B?"), std::string::npos);
}

TEST_F(MailComposerTest, UnwritableOutboxFails) {
  std::ofstream(outbox.path() + "/file") << "x";
  MFMailComposeViewController::setOutboxDirectory(outbox.path() + "/file/Outbox");
  auto delegate = std::make_shared<MailDelegate>();
  auto mail = std::make_shared<MFMailComposeViewController>();
  mail->setMailComposeDelegate(delegate);
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(mail->send().has_value());
  EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Failed}));
  EXPECT_FALSE(console.lines().empty());
}
