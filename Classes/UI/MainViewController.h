#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "AppUI/UIViewControllerBase.h"
#include "Content/ContentType.h"
#include "UI/UIButton.h"
#include "UI/UIView.h"

// The first screen: the four editors with a badge each while their content has items the user
// has not seen, and the ads list, the about screen and the help video.
class MainViewController : public UIViewControllerBase {
 public:
  MainViewController();
  ~MainViewController() override;
  std::string className() const override { return "MainViewController"; }
  static void registerClass();

  void registerOutlets(platform::OutletRegistry& outlets) override;
  void registerActions(platform::ActionRegistry& actions) override;
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

  void showBackgrounds();
  void showPhotoFrames();
  void showFaceEffects();
  void showCliparts();
  void showAds();
  void showAbout();
  void showHelp();

  // New content arrived: the badges follow.
  void contentUpdate();
  void updateBonusNumbersAnimated(bool animated);
  // Shows the badge while `number` is not 0; the count itself is not shown.
  static void updateBonusLabel(platform::UIButton* badge, std::int32_t number);
  void releaseOutlets();

  std::shared_ptr<platform::UIButton> lblBonusBackgrounds;
  std::shared_ptr<platform::UIButton> lblBonusFrames;
  std::shared_ptr<platform::UIButton> lblBonusFaceEffects;
  std::shared_ptr<platform::UIButton> lblBonusCliparts;
  std::shared_ptr<platform::UIView> centerTitleView;

 private:
  // Pushes the editor of `type`; its downloads come first and its items count as seen.
  void openEditor(ContentType type);
};
