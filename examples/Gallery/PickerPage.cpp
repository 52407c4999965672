#include "PickerPage.h"

#include <cmath>
#include <filesystem>

using namespace platform;

void PickerPage::buildPage(UIView& page) {
  Size size = page.bounds().size;
  _chooseButton = Gallery::button(Rect(40, kHeadingHeight + 12, size.width - 80, 44),
                                  "Choose a photo…", [this] { choose(); });
  page.addSubview(_chooseButton);
  _imageView = std::make_shared<UIImageView>(
      Rect(20, kHeadingHeight + 70, size.width - 40, size.height - kHeadingHeight - 130));
  _imageView->setBackgroundColor(UIColor::fromString("#20262c"));
  _imageView->setContentMode(UIViewContentMode::ScaleAspectFit);
  page.addSubview(_imageView);
  _caption =
      Gallery::caption(Rect(10, size.height - 50, size.width - 20, 40), "No photo chosen yet", 14);
  _caption->setNumberOfLines(2);
  page.addSubview(_caption);
}

std::shared_ptr<UIImagePickerController> PickerPage::picker() const {
  return std::dynamic_pointer_cast<UIImagePickerController>(presentedViewController());
}

void PickerPage::choose() {
  using Source = UIImagePickerControllerSourceType;
  if (!UIImagePickerController::isSourceTypeAvailable(Source::PhotoLibrary)) {
    _caption->setText("There is no photo library folder");
    return;
  }
  auto picker = std::make_shared<UIImagePickerController>();
  picker->setSourceType(Source::PhotoLibrary);
  picker->setDelegate(weakDelegate<UIImagePickerControllerDelegate>());
  presentViewController(picker, true);
}

void PickerPage::imagePickerControllerDidFinishPickingMediaWithInfo(
    UIImagePickerController& picker, const UIImagePickerMediaInfo& info) {
  auto picture = info.find(UIImagePickerControllerOriginalImage);
  auto file = info.find(UIImagePickerControllerReferenceURL);
  if (picture != info.end()) {
    const auto* image = std::any_cast<std::shared_ptr<Image>>(&picture->second);
    _imageView->setImage(image ? *image : nullptr);
  }
  const auto* path = file != info.end() ? std::any_cast<std::string>(&file->second) : nullptr;
  _file = path ? *path : std::string();
  if (const auto& image = _imageView->image()) {
    Size size = image->size();
    _caption->setText(std::filesystem::path(_file).filename().string() + "\n" +
                      std::to_string(std::lround(size.width)) + " × " +
                      std::to_string(std::lround(size.height)) + " points");
  }
  picker.dismissViewControllerAnimated(true);
}

void PickerPage::imagePickerControllerDidCancel(UIImagePickerController& picker) {
  picker.dismissViewControllerAnimated(true);
}
