#pragma once

#include <functional>
#include <memory>
#include <string>

#include "GalleryPage.h"
#include "UI/UIActionSheet.h"
#include "UI/UIAlertView.h"

// A button that shows a dialog of buttons; the caption names the button that closed it, and a
// dialog still up when the page goes is closed with its cancel button.
class ChoicePage : public GalleryPage {
 public:
  using GalleryPage::GalleryPage;

  platform::UIButton& showButton() const { return *_showButton; }
  // The index of the button that closed the last dialog; -1 before any.
  int chosenIndex() const { return _chosen; }

  void viewWillDisappear(bool animated) override;

 protected:
  // Puts the button (showing what `show` makes and shows) and the caption on the page.
  void buildChoice(platform::UIView& page, const std::string& buttonTitle,
                   std::function<std::shared_ptr<platform::ButtonChoiceView>()> show);
  // The delegates call this with the button chosen.
  void chose(platform::ButtonChoiceView& dialog, int index);
  // The dialog shown last, while it exists.
  std::shared_ptr<platform::ButtonChoiceView> shown() const { return _shown.lock(); }

 private:
  std::shared_ptr<platform::UIButton> _showButton;
  std::shared_ptr<platform::UILabel> _caption;
  std::weak_ptr<platform::ButtonChoiceView> _shown;
  int _chosen = -1;
};

// An alert with Cancel and OK.
class AlertPage : public ChoicePage, public platform::UIAlertViewDelegate {
 public:
  AlertPage() : ChoicePage("alert", Gallery::text("_Loc_GalleryAlertTitle")) {}
  std::shared_ptr<platform::UIAlertView> alert() const {
    return std::dynamic_pointer_cast<platform::UIAlertView>(shown());
  }
  void alertViewClickedButtonAtIndex(platform::UIAlertView& alert, int index) override {
    chose(alert, index);
  }

 protected:
  void buildPage(platform::UIView& page) override;
};

// An action sheet with a destructive, two other and a cancel button.
class ActionSheetPage : public ChoicePage, public platform::UIActionSheetDelegate {
 public:
  ActionSheetPage() : ChoicePage("action-sheet", Gallery::text("_Loc_GalleryActionSheetTitle")) {}
  std::shared_ptr<platform::UIActionSheet> sheet() const {
    return std::dynamic_pointer_cast<platform::UIActionSheet>(shown());
  }
  void actionSheetClickedButtonAtIndex(platform::UIActionSheet& sheet, int index) override {
    chose(sheet, index);
  }

 protected:
  void buildPage(platform::UIView& page) override;
};
