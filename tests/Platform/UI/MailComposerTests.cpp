#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "LaunchRecorder.h"
#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/MFMailComposeViewController.h"
#include "UI/UIButton.h"

using namespace platform;
using namespace platform::testing;
using testing_support::readTextFile;
using testing_support::ScopedEnvironment;
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
  std::vector<std::string> outboxFiles() const {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(outbox.path() + "/Outbox", ec))
      files.push_back(e.path().string());
    return files;
  }
  // A composer reporting to `delegate`, which it makes.
  std::shared_ptr<MFMailComposeViewController> compose() {
    auto mail = std::make_shared<MFMailComposeViewController>();
    mail->setMailComposeDelegate(delegate);
    return mail;
  }
  std::shared_ptr<MailDelegate> delegate = std::make_shared<MailDelegate>();
  TemporaryDirectory outbox;
  // No mail client is found or started unless a test puts one there.
  ScopedEnvironment path{"PATH", outbox.file("bin")};
  ScopedEnvironment x11{"DISPLAY", std::nullopt};
  ScopedEnvironment wayland{"WAYLAND_DISPLAY", std::nullopt};
  std::shared_ptr<UIViewController> root;
};

}  // namespace

TEST_F(MailComposerTest, SendWritesAnEmlAndTellsTheDelegate) {
  ASSERT_TRUE(MFMailComposeViewController::canSendMail());
  LaunchRecorder recorder;  // a client, but no display to show it on
  auto mail = compose();
  mail->setSubject("Pictavia - Support");
  mail->setToRecipients({"support@example.org"});
  mail->setMessageBody("<p>Hello</p>", true);
  mail->addAttachmentData(Bytes{'a', 'b', 'c'}, "audio/aac", "ringtone.m4r");
  mail->addAttachmentData(Bytes(60, 'a'), "text/plain", "long.txt");
  root->presentViewController(mail, true);
  host->advanceBy(1);
  ASSERT_TRUE(tapButtonTitled(mail->view().get(), "Send"));
  EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Sent}));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  auto files = outboxFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(std::filesystem::path(files[0]).extension(), ".eml");
  std::string eml = readTextFile(files[0]);
  EXPECT_NE(eml.find("To: support@example.org\r\n"), std::string::npos);
  EXPECT_NE(eml.find("Subject: Pictavia - Support\r\n"), std::string::npos);
  EXPECT_NE(eml.find("Content-Type: text/html; charset=UTF-8"), std::string::npos);
  EXPECT_NE(eml.find("PHA+SGVsbG88L3A+"), std::string::npos);  // the body, base64
  EXPECT_NE(eml.find("Content-Type: audio/aac; name=\"ringtone.m4r\""), std::string::npos);
  EXPECT_NE(eml.find("\r\nYWJj\r\n"), std::string::npos);  // "abc"
  // 60 bytes: a full 76-character line (57 bytes), then the rest on the next line.
  std::string aaa;
  for (int i = 0; i < 19; ++i) aaa += "YWFh";
  EXPECT_NE(eml.find("\r\n" + aaa + "\r\nYWFh\r\n"), std::string::npos);
  EXPECT_TRUE(recorder.launches.empty());
}

TEST_F(MailComposerTest, CancelWritesNothingHeadersCannotBeForgedAndAnUnwritableOutboxFails) {
  auto mail = compose();
  mail->setSubject("Hi\r\nBcc: victim@example.org");
  mail->setToRecipients({"a@example.org\r\nBcc: b@example.org"});
  root->presentViewController(mail, false);
  ASSERT_TRUE(tapButtonTitled(mail->view().get(), "Cancel"));
  EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Cancelled}));
  EXPECT_TRUE(outboxFiles().empty());
  std::string eml = mail->mimeMessage();
  EXPECT_EQ(eml.find("\r\nBcc:"), std::string::npos);
  EXPECT_NE(eml.find("Subject: =?UTF-8?B?"), std::string::npos);

  std::ofstream(outbox.path() + "/file") << "x";
  MFMailComposeViewController::setOutboxDirectory(outbox.path() + "/file/Outbox");
  delegate->results.clear();
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(compose()->send().has_value());
  EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Failed}));
  EXPECT_FALSE(console.lines().empty());
}

TEST_F(MailComposerTest, SendHandsTheMessageToTheMailClient) {
  ScopedEnvironment display("DISPLAY", ":1");
  LaunchRecorder recorder;
  auto mail = compose();
  mail->setSubject("Pictavia - Support");
  mail->setToRecipients({"support@example.org", "-oProxyCommand=x@evil.example", " --cc=b@c.d",
                         "mailto:x@example.org?bcc=y@example.org", "second@example.org"});
  mail->setCcRecipients({"copy@example.org", "-x@example.org"});
  mail->setMessageBody(
      "<html><body><p>Hello &amp; welcome</p>\n<p>Line&nbsp;two<br/>3 &lt; 4 &gt; 2, "
      "&quot;q&quot; &#39;s&#39;</p><!-- note --></body></html>",
      true);
  const Bytes picture = {0x89, 'P', 'N', 'G', 0, 255, '\r', '\n'};
  mail->addAttachmentData(Bytes{'a', 'b', 'c'}, "audio/aac", "ringtone.m4r");
  mail->addAttachmentData(picture, "image/png", "../picture.png");
  root->presentViewController(mail, false);
  testing_support::ConsoleCapture console;
  auto sent = mail->send();
  ASSERT_TRUE(sent);
  EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Sent}));
  host->advanceBy(1);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(std::filesystem::path(*sent).parent_path(), outbox.path() + "/Outbox");
  std::string ringtone = *sent + "/ringtone.m4r", png = *sent + "/picture.png";
  ASSERT_EQ(recorder.launches.size(), 1u);
  EXPECT_EQ(
      recorder.launches[0],
      (DesktopLauncher::Arguments{
          "xdg-email", "--utf8", "--subject", "Pictavia - Support", "--cc", "copy@example.org",
          "--body", "Hello & welcome\nLine\u00A0two\n3 < 4 > 2, \"q\" 's'", "--attach", ringtone,
          "--attach", png, "support@example.org", "second@example.org"}));
  EXPECT_EQ(readTextFile(ringtone), "abc");
  EXPECT_EQ(readTextFile(png), std::string(picture.begin(), picture.end()));
  EXPECT_EQ(outboxFiles(), std::vector<std::string>{*sent});  // no .eml as well
  // One line for each recipient left out.
  EXPECT_EQ(console.lines().size(), 4u);
}

TEST_F(MailComposerTest, WithoutAClientThatStartsTheMessageGoesToTheOutbox) {
  auto sendOne = [&] {
    auto mail = std::make_shared<MFMailComposeViewController>();
    mail->setToRecipients({"support@example.org"});
    mail->addAttachmentData(Bytes{'a', 'b', 'c'}, "text/plain", "notes.txt");
    auto sent = mail->send();
    return sent && sent->ends_with(".eml") && readTextFile(*sent).find("YWJj") != std::string::npos;
  };
  // (A client without a display: see SendWritesAnEmlAndTellsTheDelegate.)
  testing_support::ConsoleCapture console;
  ScopedEnvironment display("WAYLAND_DISPLAY", "wayland-0");
  EXPECT_TRUE(sendOne());  // no xdg-email on PATH
  {
    LaunchRecorder recorder(false);  // the client does not start
    EXPECT_TRUE(sendOne());
    EXPECT_EQ(recorder.launches.size(), 1u);
  }
  auto files = outboxFiles();
  EXPECT_EQ(files.size(), 2u);
  for (const auto& f : files) EXPECT_EQ(std::filesystem::path(f).extension(), ".eml");
  EXPECT_EQ(console.lines().size(), 1u);
}
