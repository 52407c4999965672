#include "PickerPage.h"

#include <cmath>
#include <filesystem>

using namespace platform;

using Source = UIImagePickerControllerSourceType;

void PickerPage::buildPage(UIView& page) {
  Size size = page.bounds().size;
  double half = (size.width - 50) / 2;
  _chooseButton = Gallery::button(Rect(20, kHeadingHeight + 12, half, 44), "Photo library…",
                                  [this] { choose(Source::PhotoLibrary); });
  page.addSubview(_chooseButton);
  _cameraButton = Gallery::button(Rect(30 + half, kHeadingHeight + 12, half, 44), "Camera…",
                                  [this] { choose(Source::Camera); });
  _cameraButton->setEnabled(UIImagePickerController::isSourceTypeAvailable(Source::Camera));
  page.addSubview(_cameraButton);
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

void PickerPage::choose(Source source) {
  if (!UIImagePickerController::isSourceTypeAvailable(source)) {
    _caption->setText(source == Source::Camera ? "There is no camera"
                                               : "There is no photo library folder");
    return;
  }
  auto picker = std::make_shared<UIImagePickerController>();
  picker->setSourceType(source);
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
    std::string from = _file.empty() ? "Camera" : std::filesystem::path(_file).filename().string();
    _caption->setText(from + "\n" + std::to_string(std::lround(size.width)) + " × " +
                      std::to_string(std::lround(size.height)) + " points");
  }
  picker.dismissViewControllerAnimated(true);
}

void PickerPage::imagePickerControllerDidCancel(UIImagePickerController& picker) {
  picker.dismissViewControllerAnimated(true);
}
