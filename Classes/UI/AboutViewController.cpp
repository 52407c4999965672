#include "AppUI/AboutViewController.h"

#include "AppUI/SocialFunctions.h"
#include "AppUI/UIItems.h"
#include "Config/Config.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "UI/UIApplication.h"
#include "UI/ViewControllerRegistry.h"

using namespace platform;

void AboutViewController::registerClass() {
  ViewControllerRegistry::registerClass("AboutViewController",
                                        [] { return std::make_shared<AboutViewController>(); });
}

void AboutViewController::viewDidLoad() {
  UIViewControllerBase::viewDidLoad();
  Localization::localizeView(*view());
  UIItems::configureViews(*view());
}

void AboutViewController::registerActions(ActionRegistry& actions) {
  UIViewControllerBase::registerActions(actions);
  actions.add("openAds", [this](UIControl&) { openAds(); });
  actions.add("openRate", [this](UIControl&) { openRate(); });
  actions.add("openFacebook", [this](UIControl&) { openFacebook(); });
  actions.add("giftApplication", [this](UIControl&) { giftApplication(); });
  actions.add("openTwitter", [this](UIControl&) { openTwitter(); });
  actions.add("openMail", [this](UIControl&) { openMail(); });
  actions.add("openSupportMail", [this](UIControl&) { openSupportMail(); });
}

void AboutViewController::report(const std::string& label) {
  Tools::Instance().eventHappened("Social", label, 1);
}

void AboutViewController::open(const std::string& label, const char* url) {
  report(label);
  UIApplication::sharedApplication().openURL(url);
}

void AboutViewController::openAds() {
  report("Ads");
  pushViewControllerNamed("AdsTableViewController", true);
}

void AboutViewController::openRate() {
  open("Rate", Config::kAppStoreURL);
}

void AboutViewController::openFacebook() {
  open("Facebook", Config::kFacebookURL);
}

void AboutViewController::giftApplication() {
  open("GiftApplication", Config::kGiftURL);
}

void AboutViewController::openTwitter() {
  open("Twitter", Config::kTwitterURL);
}

void AboutViewController::openMail() {
  report("Mail");
  SocialFunctions::sendMail();
}

void AboutViewController::openSupportMail() {
  report("SupportMail");
  SocialFunctions::sendSupportMail();
}
