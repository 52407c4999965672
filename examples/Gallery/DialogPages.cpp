#include "DialogPages.h"

using namespace platform;

namespace {

std::shared_ptr<UILabel> choiceCaption(const UIView& page) {
  auto caption =
      galleryCaption(Rect(20, 150, page.bounds().size.width - 40, 60), "Nothing chosen yet", 17);
  caption->setNumberOfLines(2);
  return caption;
}

std::string choiceText(int index, const std::string& title) {
  return "Button " + std::to_string(index) + " chosen:\n" + title;
}

}  // namespace

void AlertPage::buildPage(UIView& page) {
  _showButton =
      galleryButton(Rect(40, 80, page.bounds().size.width - 80, 44), "Show an alert", [this] {
        auto alert = std::make_shared<UIAlertView>(
            "Delete this portrait?", "The picture and its frame go for good.",
            weakDelegate<UIAlertViewDelegate>(), "Cancel", std::vector<std::string>{"OK"});
        _alert = alert;
        alert->show();  // the shown alert keeps itself alive
      });
  page.addSubview(_showButton);
  _caption = choiceCaption(page);
  page.addSubview(_caption);
}

void AlertPage::alertViewClickedButtonAtIndex(UIAlertView& alert, int index) {
  _chosen = index;
  _caption->setText(choiceText(index, alert.buttonTitleAtIndex(index)));
}

void AlertPage::viewWillDisappear(bool) {
  if (auto alert = _alert.lock(); alert && alert->isVisible())
    alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), false);
}

void ActionSheetPage::buildPage(UIView& page) {
  _showButton = galleryButton(
      Rect(40, 80, page.bounds().size.width - 80, 44), "Show an action sheet", [this] {
        auto sheet = std::make_shared<UIActionSheet>(
            "Share the portrait", weakDelegate<UIActionSheetDelegate>(), "Cancel",
            "Delete the portrait", std::vector<std::string>{"Save to Photos", "Mail"});
        _sheet = sheet;
        sheet->showInView(view().get());  // the shown sheet keeps itself alive
      });
  page.addSubview(_showButton);
  _caption = choiceCaption(page);
  page.addSubview(_caption);
}

void ActionSheetPage::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int index) {
  _chosen = index;
  _caption->setText(choiceText(index, sheet.buttonTitleAtIndex(index)));
}

void ActionSheetPage::viewWillDisappear(bool) {
  if (auto sheet = _sheet.lock(); sheet && sheet->isVisible())
    sheet->dismissWithClickedButtonIndex(sheet->cancelButtonIndex(), false);
}
