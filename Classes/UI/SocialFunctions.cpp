#include "AppUI/SocialFunctions.h"

#include <memory>

#include "Config/Config.h"
#include "Foundation/Console.h"
#include "Foundation/FileManager.h"
#include "GeneralTools/AppDelegateScreens.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "UI/MFMailComposeViewController.h"
#include "UI/UINavigationController.h"

using namespace platform;

namespace {

// Dismisses a mail however it ended; the class's one delegate for every composer.
class MailCloser : public MFMailComposeViewControllerDelegate {
 public:
  void mailComposeControllerDidFinishWithResult(MFMailComposeViewController& controller,
                                                MFMailComposeResult,
                                                const std::optional<std::string>&) override {
    controller.dismissViewControllerAnimated(true);
  }
};

const std::shared_ptr<MailCloser>& mailCloser() {
  static const auto* closer = new std::shared_ptr<MailCloser>(std::make_shared<MailCloser>());
  return *closer;
}

// A composer with the closer as its delegate; none when mail cannot be composed here.
std::shared_ptr<MFMailComposeViewController> makeComposer() {
  if (!MFMailComposeViewController::canSendMail()) {
    Console::log("Mail cannot be composed here: no outbox");
    return nullptr;
  }
  auto composer = std::make_shared<MFMailComposeViewController>();
  composer->setMailComposeDelegate(mailCloser());
  return composer;
}

void present(std::shared_ptr<MFMailComposeViewController> composer) {
  AppDelegateScreens* delegate = AppDelegateScreens::current();
  auto navigation = delegate ? delegate->navigationController() : nullptr;
  if (!navigation) {
    Console::log("No screen to show the mail over");
    return;
  }
  navigation->presentViewController(std::move(composer), true);
}

}  // namespace

std::string SocialFunctions::shareMailBody() {
  std::string body = Localization::Instance().localizationForKey("_Loc_MailMessage_Tmpl");
  for (auto [placeholder, value] : {std::pair{"%app_page_url%", Config::kAppPageURL},
                                    {"%app_store_url%", Config::kAppStoreURL},
                                    {"%mail_img_url%", Config::kMailImageURL},
                                    {"%app_support_mail%", Config::kSupportMail}})
    body = Tools::replacingOccurrences(std::move(body), placeholder, value);
  return body;
}

std::string SocialFunctions::supportMailSubject() {
  return Tools::appName() + " iPhone ver. " + Tools::appVersion() + " - Support";
}

void SocialFunctions::sendMailWithTitle(const std::string& title,
                                        const std::optional<std::string>& attachment) {
  auto composer = makeComposer();
  if (!composer) return;
  composer->setSubject(title);
  std::string body = shareMailBody();
  if (attachment) {
    if (auto data = FileManager::contentsAtPath(*attachment))
      composer->addAttachmentData(std::move(*data), "audio/aac", "ringtone.m4r");
  }
  composer->setMessageBody(std::move(body), true);
  present(std::move(composer));
}

void SocialFunctions::sendMail() {
  sendMailWithTitle(
      Localization::Instance().localizationForKey("_Loc_MailMessage_Title_Share_Tmpl"),
      std::nullopt);
}

void SocialFunctions::sendSupportMail() {
  auto composer = makeComposer();
  if (!composer) return;
  composer->setToRecipients({Config::kSupportMail});
  composer->setSubject(supportMailSubject());
  present(std::move(composer));
}
