#pragma once

#include <string>

#include "AppUI/UIViewControllerBase.h"

// The about screen: the application's name and version, the store and social links, the share
// and support mails and the ads list. Every action is reported as a "Social" event first.
class AboutViewController : public UIViewControllerBase {
 public:
  std::string className() const override { return "AboutViewController"; }
  static void registerClass();

  void viewDidLoad() override;
  void registerActions(platform::ActionRegistry& actions) override;

  void openAds();
  void openRate();
  void openFacebook();
  void giftApplication();
  void openTwitter();
  void openMail();
  void openSupportMail();

 private:
  static void report(const std::string& label);
  static void open(const std::string& label, const char* url);
};
