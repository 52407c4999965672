#pragma once

#include <memory>

#include "GalleryPage.h"
#include "UI/UIActionSheet.h"
#include "UI/UIAlertView.h"

// A button showing an alert with Cancel and OK; the caption names the button that closed it.
class AlertPage : public GalleryPage, public platform::UIAlertViewDelegate {
 public:
  AlertPage() : GalleryPage("alert", "Alert") {}

  platform::UIButton& showButton() const { return *_showButton; }
  // The alert shown last, while it shows.
  std::shared_ptr<platform::UIAlertView> alert() const { return _alert.lock(); }
  // The index of the button that closed the last alert; -1 before any.
  int chosenIndex() const { return _chosen; }

  void alertViewClickedButtonAtIndex(platform::UIAlertView& alert, int index) override;
  void viewWillDisappear(bool animated) override;

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  std::shared_ptr<platform::UIButton> _showButton;
  std::shared_ptr<platform::UILabel> _caption;
  std::weak_ptr<platform::UIAlertView> _alert;
  int _chosen = -1;
};

// A button showing an action sheet with a destructive, two other and a cancel button; the
// caption names the button that closed it.
class ActionSheetPage : public GalleryPage, public platform::UIActionSheetDelegate {
 public:
  ActionSheetPage() : GalleryPage("action-sheet", "Action sheet") {}

  platform::UIButton& showButton() const { return *_showButton; }
  std::shared_ptr<platform::UIActionSheet> sheet() const { return _sheet.lock(); }
  int chosenIndex() const { return _chosen; }

  void actionSheetClickedButtonAtIndex(platform::UIActionSheet& sheet, int index) override;
  void viewWillDisappear(bool animated) override;

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  std::shared_ptr<platform::UIButton> _showButton;
  std::shared_ptr<platform::UILabel> _caption;
  std::weak_ptr<platform::UIActionSheet> _sheet;
  int _chosen = -1;
};
