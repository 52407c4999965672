// The user's photo: choosing the source (photo library or camera), the picker, and the picture
// entering the background list in place of its items.
#include "AppUI/AssetViewController.h"
#include "AppUI/LoadingView.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "Imaging/ImageCache.h"
#include "Imaging/PV_Extensions.h"
#include "UI/UIScreen.h"

using namespace platform;

namespace {

using Source = UIImagePickerControllerSourceType;

std::string localized(std::string_view key) {
  return Localization::Instance().localizationForKey(key);
}

}  // namespace

void AssetViewController::showPhotoActionSheet() {
  const bool library = UIImagePickerController::isSourceTypeAvailable(Source::PhotoLibrary);
  const bool camera = UIImagePickerController::isSourceTypeAvailable(Source::Camera);
  // With one source there is nothing to choose; with none there is nothing to open.
  if (library != camera) {
    getPhotoFromSource(library ? Source::PhotoLibrary : Source::Camera);
    return;
  }
  if (!library) return;
  auto sheet = std::make_shared<UIActionSheet>(
      localized("_Loc_PhotoActionSheetTitle"),
      std::static_pointer_cast<UIActionSheetDelegate>(self()), std::nullopt, std::nullopt);
  sheet->addButtonWithTitle(localized("_Loc_PhotoSourceLibrary"));
  sheet->addButtonWithTitle(localized("_Loc_PhotoSourceCamera"));
  sheet->setCancelButtonIndex(sheet->addButtonWithTitle(localized("_Loc_Cancel")));
  sheet->showInView(view().get());
}

void AssetViewController::actionSheetDidDismissWithButtonIndex(UIActionSheet& sheet,
                                                               int buttonIndex) {
  if (buttonIndex < 0 || buttonIndex >= sheet.numberOfButtons()) return;
  std::string title = sheet.buttonTitleAtIndex(buttonIndex);
  if (title == localized("_Loc_PhotoSourceLibrary"))
    getPhotoFromSource(Source::PhotoLibrary);
  else if (title == localized("_Loc_PhotoSourceCamera"))
    getPhotoFromSource(Source::Camera);
}

void AssetViewController::getPhotoFromSource(Source source) {
  ImageCache::Instance().cleanCache();
  LoadingView::show();
  // The picker is built on the next turn, once the indicator is on screen.
  std::weak_ptr<AssetViewController> weak = self();
  RunLoop::main().post([weak, source] {
    if (auto editor = weak.lock()) editor->getPhotoFromSourceDelayed(source);
  });
}

void AssetViewController::getPhotoFromSourceDelayed(Source source) {
  _picker = std::make_shared<UIImagePickerController>();
  _picker->setSourceType(source);
  _picker->setDelegate(std::static_pointer_cast<UIImagePickerControllerDelegate>(self()));
  _picker->setMediaTypes({kUTTypeImage});
  // A photo from the library is decoded straight at about the size it is shown at.
  const double scale = UIScreen::mainScreen().scale();
  _picker->setMaximumPictureSize(Size{kPhotoMaxWidth * scale, kPhotoMaxHeight * scale});
  animatedPresentModalViewController(_picker);
}

void AssetViewController::animatedPresentModalViewController(
    std::shared_ptr<UIViewController> controller) {
  presentViewController(std::move(controller), true);
}

std::shared_ptr<Image> AssetViewController::photoForComposition(
    const std::shared_ptr<Image>& picked) {
  if (!picked) return nullptr;
  auto rewrapped = Image::imageWithBitmap(picked->sharedBitmap(), UIScreen::mainScreen().scale(),
                                          picked->orientation());
  return PV_Extensions::imageByScalingProportionallyToSize(rewrapped,
                                                           Size{kPhotoMaxWidth, kPhotoMaxHeight});
}

void AssetViewController::finishPicker(UIImagePickerController& picker) {
  picker.dismissViewControllerAnimated(true);
  // Let go once the picker's own call has returned.
  std::weak_ptr<AssetViewController> weak = self();
  RunLoop::main().post([weak] {
    if (auto editor = weak.lock()) editor->_picker.reset();
  });
}

void AssetViewController::imagePickerControllerDidFinishPickingMediaWithInfo(
    UIImagePickerController& picker, const UIImagePickerMediaInfo& info) {
  std::shared_ptr<Image> picked;
  if (auto it = info.find(UIImagePickerControllerOriginalImage); it != info.end()) {
    if (auto* image = std::any_cast<std::shared_ptr<Image>>(&it->second)) picked = *image;
  }
  if (auto photo = photoForComposition(picked)) {
    _ctlBackgounds->setOutOfListImage(photo, ImageSwapView::kTransitionNone);
    Tools::Instance().sysEventHappened("imagePicker", "selected", 0);
    _ctlBackgounds->setImageTransform(AffineTransform::identity());
    setSelectionMode(kSelectionModePhoto);
  }
  LoadingView::hide();
  finishPicker(picker);
}

void AssetViewController::imagePickerControllerDidCancel(UIImagePickerController& picker) {
  Tools::Instance().sysEventHappened("imagePicker", "cancel", 0);
  LoadingView::hide();
  finishPicker(picker);
}
