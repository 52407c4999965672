#pragma once

#include <memory>
#include <string>

#include "GalleryPage.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIImageView.h"

// Buttons presenting the image picker over the photo library and, where there is a camera (a
// capture device or `--camera-pipeline`), the camera; the picked picture shows on the page,
// upright, with its file's name (or "Camera") and size.
class PickerPage : public GalleryPage, public platform::UIImagePickerControllerDelegate {
 public:
  PickerPage() : GalleryPage("picker", "Image picker") {}

  platform::UIButton& chooseButton() const { return *_chooseButton; }
  platform::UIButton& cameraButton() const { return *_cameraButton; }
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
  void choose(platform::UIImagePickerControllerSourceType source);

  std::shared_ptr<platform::UIButton> _chooseButton;
  std::shared_ptr<platform::UIButton> _cameraButton;
  std::shared_ptr<platform::UIImageView> _imageView;
  std::shared_ptr<platform::UILabel> _caption;
  std::string _file;
};
