#include "AppUI/MainViewController.h"

#include "AppUI/AssetViewController.h"
#include "AppUI/UIItems.h"
#include "Config/Config.h"
#include "Content/ContentControl.h"
#include "Foundation/NotificationCenter.h"
#include "GeneralTools/Localization.h"
#include "UI/UIApplication.h"
#include "UI/UILabel.h"
#include "UI/UINavigationController.h"
#include "UI/ViewControllerRegistry.h"

using namespace platform;

MainViewController::MainViewController() = default;

MainViewController::~MainViewController() {
  NotificationCenter::defaultCenter().removeObserver(this);
  releaseOutlets();
}

void MainViewController::registerClass() {
  ViewControllerRegistry::registerClass("MainViewController",
                                        [] { return std::make_shared<MainViewController>(); });
}

void MainViewController::registerOutlets(OutletRegistry& outlets) {
  UIViewControllerBase::registerOutlets(outlets);
  outlets.add("lblBonusBackgrounds", lblBonusBackgrounds);
  outlets.add("lblBonusFrames", lblBonusFrames);
  outlets.add("lblBonusFaceEffects", lblBonusFaceEffects);
  outlets.add("lblBonusCliparts", lblBonusCliparts);
  outlets.add("centerTitleView", centerTitleView);
}

void MainViewController::registerActions(ActionRegistry& actions) {
  UIViewControllerBase::registerActions(actions);
  actions.add("showBackgrounds", [this](UIControl&) { showBackgrounds(); });
  actions.add("showPhotoFrames", [this](UIControl&) { showPhotoFrames(); });
  actions.add("showFaceEffects", [this](UIControl&) { showFaceEffects(); });
  actions.add("showCliparts", [this](UIControl&) { showCliparts(); });
  actions.add("showAds", [this](UIControl&) { showAds(); });
  actions.add("showAbout", [this](UIControl&) { showAbout(); });
  actions.add("showHelp", [this](UIControl&) { showHelp(); });
}

void MainViewController::releaseOutlets() {
  lblBonusBackgrounds.reset();
  lblBonusFrames.reset();
  lblBonusFaceEffects.reset();
  lblBonusCliparts.reset();
}

void MainViewController::viewDidLoad() {
  UIViewControllerBase::viewDidLoad();
  Localization::localizeView(*view());
  UIItems::configureViews(*view());
  // Longer translations are set smaller rather than cut.
  for (const auto& child : view()->subviews())
    if (auto* button = dynamic_cast<UIButton*>(child.get());
        button && button->tag() == UIItems::kMainButtonTag && button->titleLabel()) {
      button->titleLabel()->setAdjustsFontSizeToFitWidth(true);
      button->titleLabel()->setMinimumFontSize(20);
    }
  updateBonusNumbersAnimated(false);
}

void MainViewController::viewWillAppear(bool animated) {
  UIViewControllerBase::viewWillAppear(animated);
  if (UINavigationController* navigation = navigationController())
    navigation->setNavigationBarHidden(true, false);
  UIApplication::sharedApplication().setStatusBarHidden(true, UIStatusBarAnimation::Slide);
  auto& center = NotificationCenter::defaultCenter();
  center.removeObserver(this, ContentControl::kContentControlHasNewContent, nullptr);
  center.addObserver(this, ContentControl::kContentControlHasNewContent, nullptr,
                     [this](const Notification&) { contentUpdate(); });
  updateBonusNumbersAnimated(animated);
}

void MainViewController::viewWillDisappear(bool animated) {
  UIViewControllerBase::viewWillDisappear(animated);
  NotificationCenter::defaultCenter().removeObserver(
      this, ContentControl::kContentControlHasNewContent, nullptr);
}

void MainViewController::contentUpdate() {
  updateBonusNumbersAnimated(true);
}

void MainViewController::updateBonusNumbersAnimated(bool) {
  ContentControl& content = *ContentControl::Instance();
  updateBonusLabel(lblBonusFrames.get(), content.newContentForType(ContentTypePhotoFrame));
  updateBonusLabel(lblBonusFaceEffects.get(), content.newContentForType(ContentTypeFaceEffect));
  updateBonusLabel(lblBonusCliparts.get(), content.newContentForType(ContentTypeClipart));
  updateBonusLabel(lblBonusBackgrounds.get(), content.newContentForType(ContentTypeBackground));
}

void MainViewController::updateBonusLabel(UIButton* badge, std::int32_t number) {
  if (!badge) return;
  if (number != 0) {
    badge->setAlpha(1);
    badge->setTitle(std::string(), UIControlStateNormal);
  } else {
    badge->setAlpha(0);
  }
}

void MainViewController::openEditor(ContentType type) {
  auto editor = std::make_shared<AssetViewController>();
  editor->setContentType(type);
  if (UINavigationController* navigation = navigationController())
    navigation->pushViewController(std::move(editor), true);
}

void MainViewController::showBackgrounds() {
  openEditor(ContentTypeBackground);
  ContentControl::Instance()->setAllConetnViewedForType(ContentTypeBackground);
  ContentControl::Instance()->setBackgroundsMode();
}

void MainViewController::showPhotoFrames() {
  openEditor(ContentTypePhotoFrame);
  ContentControl::Instance()->setAllConetnViewedForType(ContentTypePhotoFrame);
  ContentControl::Instance()->setPhotoFramesMode();
}

void MainViewController::showFaceEffects() {
  openEditor(ContentTypeFaceEffect);
  ContentControl::Instance()->setAllConetnViewedForType(ContentTypeFaceEffect);
  ContentControl::Instance()->setFaceEffectsMode();
}

void MainViewController::showCliparts() {
  openEditor(ContentTypeClipart);
  ContentControl::Instance()->setAllConetnViewedForType(ContentTypeClipart);
  ContentControl::Instance()->setClipartsMode();
}

void MainViewController::showAds() {
  pushViewControllerNamed("AdsTableViewController", true);
}

void MainViewController::showAbout() {
  pushViewControllerNamed("AboutViewController", true);
}

void MainViewController::showHelp() {
  UIApplication::sharedApplication().openURL(Config::kHelpVideoURL);
}
