#include "DialogPages.h"

using namespace platform;

void ChoicePage::buildChoice(UIView& page, const std::string& buttonTitle,
                             std::function<std::shared_ptr<ButtonChoiceView>()> show) {
  double width = page.bounds().size.width;
  // The page owns its button, so it is alive whenever the button acts.
  _showButton = Gallery::button(Rect(40, 80, width - 80, 44), buttonTitle,
                                [this, show = std::move(show)] { _shown = show(); });
  page.addSubview(_showButton);
  _caption = Gallery::caption(Rect(20, 150, width - 40, 60), "Nothing chosen yet", 17);
  _caption->setNumberOfLines(2);
  page.addSubview(_caption);
}

void ChoicePage::chose(ButtonChoiceView& dialog, int index) {
  _chosen = index;
  _caption->setText("Button " + std::to_string(index) + " chosen:\n" +
                    dialog.buttonTitleAtIndex(index));
}

void ChoicePage::viewWillDisappear(bool) {
  if (auto dialog = _shown.lock(); dialog && dialog->isVisible())
    dialog->dismissWithClickedButtonIndex(dialog->cancelButtonIndex(), false);
}

void AlertPage::buildPage(UIView& page) {
  buildChoice(page, "Show an alert", [this] {
    auto alert = std::make_shared<UIAlertView>(
        "Delete this portrait?", "The picture and its frame go for good.",
        weakDelegate<UIAlertViewDelegate>(), "Cancel", std::vector<std::string>{"OK"});
    alert->show();  // the shown alert keeps itself alive
    return alert;
  });
}

void ActionSheetPage::buildPage(UIView& page) {
  buildChoice(page, "Show an action sheet", [this] {
    auto sheet = std::make_shared<UIActionSheet>(
        "Share the portrait", weakDelegate<UIActionSheetDelegate>(), "Cancel",
        "Delete the portrait", std::vector<std::string>{"Save to Photos", "Mail"});
    sheet->showInView(view().get());  // the shown sheet keeps itself alive
    return sheet;
  });
}
