#include "DialogPages.h"

using namespace platform;

void ChoicePage::buildChoice(UIView& page, const std::string& buttonTitle,
                             std::function<std::shared_ptr<ButtonChoiceView>()> show) {
  double width = page.bounds().size.width;
  // The page owns its button, so it is alive whenever the button acts.
  _showButton = Gallery::button(Rect(40, 80, width - 80, 44), buttonTitle,
                                [this, show = std::move(show)] { _shown = show(); });
  page.addSubview(_showButton);
  _caption = Gallery::caption(Rect(20, 150, width - 40, 60),
                              Gallery::text("_Loc_GalleryNothingChosen"), 17);
  _caption->setNumberOfLines(2);
  page.addSubview(_caption);
}

void ChoicePage::chose(ButtonChoiceView& dialog, int index) {
  _chosen = index;
  _caption->setText(Gallery::text("_Loc_GalleryButtonChosen",
                                  {std::to_string(index), dialog.buttonTitleAtIndex(index)}));
}

void ChoicePage::viewWillDisappear(bool) {
  if (auto dialog = _shown.lock(); dialog && dialog->isVisible())
    dialog->dismissWithClickedButtonIndex(dialog->cancelButtonIndex(), false);
}

void AlertPage::buildPage(UIView& page) {
  buildChoice(page, Gallery::text("_Loc_GalleryShowAlert"), [this] {
    auto alert = std::make_shared<UIAlertView>(
        Gallery::text("_Loc_GalleryAlertTitleText"), Gallery::text("_Loc_GalleryAlertMessage"),
        weakDelegate<UIAlertViewDelegate>(), Gallery::text("_Loc_GalleryCancel"),
        std::vector<std::string>{Gallery::text("_Loc_GalleryOk")});
    alert->show();  // the shown alert keeps itself alive
    return alert;
  });
}

void ActionSheetPage::buildPage(UIView& page) {
  buildChoice(page, Gallery::text("_Loc_GalleryShowActionSheet"), [this] {
    auto sheet = std::make_shared<UIActionSheet>(
        Gallery::text("_Loc_GallerySheetTitle"), weakDelegate<UIActionSheetDelegate>(),
        Gallery::text("_Loc_GalleryCancel"), Gallery::text("_Loc_GallerySheetDelete"),
        std::vector<std::string>{Gallery::text("_Loc_GallerySheetSave"),
                                 Gallery::text("_Loc_GallerySheetMail")});
    sheet->showInView(view().get());  // the shown sheet keeps itself alive
    return sheet;
  });
}
