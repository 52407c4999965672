#pragma once

#include <memory>
#include <string>

#include "GalleryPage.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIImageView.h"

// A button presenting the image picker over the photo library; the picked picture shows on the
// page, upright as its file says, with its file's name and size.
class PickerPage : public GalleryPage, public platform::UIImagePickerControllerDelegate {
 public:
  PickerPage() : GalleryPage("picker", "Image picker") {}

  platform::UIButton& chooseButton() const { return *_chooseButton; }
  // The picker while it is presented.
  std::shared_ptr<platform::UIImagePickerController> picker() const;
  const std::shared_ptr<platform::Image>& picture() const { return _imageView->image(); }
  // The file the picture came from.
  const std::string& pictureFile() const { return _file; }

  void imagePickerControllerDidFinishPickingMediaWithInfo(
      platform::UIImagePickerController& picker,
      const platform::UIImagePickerMediaInfo& info) override;
  void imagePickerControllerDidCancel(platform::UIImagePickerController& picker) override;

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  void choose();

  std::shared_ptr<platform::UIButton> _chooseButton;
  std::shared_ptr<platform::UIImageView> _imageView;
  std::shared_ptr<platform::UILabel> _caption;
  std::string _file;
};
