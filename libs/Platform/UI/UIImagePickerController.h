#pragma once

#include <any>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Graphics/Image.h"
#include "UI/UIApplication.h"
#include "UI/UIViewController.h"

namespace platform {

class UIImagePickerController;
class UIButton;
class UIImageView;
class UILabel;
class UIScrollView;
class CameraCapture;

enum class UIImagePickerControllerSourceType { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };

// Keys of what a pick delivers: the picture (std::shared_ptr<Image>, turned as its file's
// EXIF block says), the media type ("public.image") and the file it came from (std::string; the
// photo library's picks only).
inline const std::string UIImagePickerControllerOriginalImage =
    "UIImagePickerControllerOriginalImage";
inline const std::string UIImagePickerControllerMediaType = "UIImagePickerControllerMediaType";
inline const std::string UIImagePickerControllerReferenceURL =
    "UIImagePickerControllerReferenceURL";
inline const std::string kUTTypeImage = "public.image";
using UIImagePickerMediaInfo = std::map<std::string, std::any>;

// Told what the user picked, or that they cancelled; the picker stays on screen until the
// delegate dismisses it.
class UIImagePickerControllerDelegate {
 public:
  virtual ~UIImagePickerControllerDelegate() = default;
  virtual void imagePickerControllerDidFinishPickingMediaWithInfo(
      UIImagePickerController& picker, const UIImagePickerMediaInfo& info) = 0;
  virtual void imagePickerControllerDidCancel(UIImagePickerController& picker) = 0;
};

// Picks a picture from the photo library, a folder of JPEG and PNG files (the user's pictures
// folder unless a host or test names another), shown as a grid of thumbnails in file-name
// order under a bar with a Cancel button; thumbnails are drawn as their cells come into sight.
// Or takes a picture with the camera: a live preview filling the screen, a shutter and a
// Cancel button. The camera is the host's named pipeline, else the first video capture device;
// with neither there is no camera. The camera runs from the picker's appearance until it
// starts to go; should it fail or stop, the console says why and the delegate hears a cancel.
class UIImagePickerController : public UIViewController {
 public:
  UIImagePickerController();
  ~UIImagePickerController() override;
  std::string className() const override { return "UIImagePickerController"; }

  // The least side of a thumbnail; the columns that fit share out the rest of the width.
  static constexpr double kThumbnailSize = 75;
  static constexpr double kThumbnailGap = 4;
  static constexpr size_t kMaximumPictures = 500;
  // Larger files are shown as blank tiles and cannot be picked.
  static constexpr size_t kMaximumFileSize = size_t{64} << 20;

  static bool isSourceTypeAvailable(UIImagePickerControllerSourceType type);
  static void setPhotoLibraryDirectory(std::optional<std::string> directory);
  // The override, else $XDG_PICTURES_DIR, else ~/Pictures; nothing without a home.
  static std::optional<std::string> photoLibraryDirectory();
  // The camera pipeline a host names (gst-launch syntax), in place of a capture device;
  // nothing goes back to the devices.
  static void setCameraPipeline(std::optional<std::string> description);
  static std::optional<std::string> cameraPipeline();
  // What the camera source captures from: the named pipeline, else the first capture device.
  static std::optional<std::string> cameraSource();

  UIImagePickerControllerSourceType sourceType() const { return _sourceType; }
  void setSourceType(UIImagePickerControllerSourceType type) { _sourceType = type; }
  const std::vector<std::string>& mediaTypes() const { return _mediaTypes; }
  void setMediaTypes(std::vector<std::string> types) { _mediaTypes = std::move(types); }
  std::shared_ptr<UIImagePickerControllerDelegate> delegate() const { return _delegate.lock(); }
  void setDelegate(std::weak_ptr<UIImagePickerControllerDelegate> delegate) {
    _delegate = std::move(delegate);
  }

  // The files offered, in the order shown.
  const std::vector<std::string>& pictureFiles() const { return _files; }
  // What tapping a thumbnail or Cancel does. Picking a file that cannot be read tells the
  // console and leaves the picker open.
  bool pickFileAtIndex(size_t index);
  void cancel();
  // The picture of a file, turned as its EXIF block says; null when it cannot be read.
  static std::shared_ptr<Image> loadPicture(const std::string& path);
  // The same reduced to fit within `maxPixels` as shown (see ImageDecoder::decodeFittingSize):
  // a 12-megapixel photo is decoded straight at a fraction of its size.
  static std::shared_ptr<Image> loadPicture(const std::string& path, Size maxPixels);
  // When set, a pick delivers its picture already fitted within this pixel size instead of
  // whole: for a caller that would shrink it at once anyway.
  const std::optional<Size>& maximumPictureSize() const { return _maximumPictureSize; }
  void setMaximumPictureSize(std::optional<Size> pixels) { _maximumPictureSize = pixels; }

  // The camera source: the newest frame of the preview (null until the first one comes),
  // the shutter, and what the shutter does: hand the delegate that frame, upright, as the
  // original picture. False while there is no frame.
  std::shared_ptr<Image> cameraFrame() const { return _cameraFrame; }
  const std::shared_ptr<UIButton>& shutterButton() const { return _shutter; }
  bool takePicture();

  void loadView() override;
  void viewWillAppear(bool animated) override;
  void viewDidAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

 private:
  std::vector<std::string> listPictures() const;
  // Whether the camera source can build its pipeline; worked out once per source.
  static bool cameraAvailable();
  void loadCameraView(const Rect& frame);
  void layOutCameraView();
  void startCamera();
  // The camera failed or stopped: told to the delegate as a cancel once the picker is fully
  // on screen.
  void cameraEnded();

  UIImagePickerControllerSourceType _sourceType = UIImagePickerControllerSourceType::PhotoLibrary;
  std::vector<std::string> _mediaTypes{kUTTypeImage};
  std::weak_ptr<UIImagePickerControllerDelegate> _delegate;
  std::optional<Size> _maximumPictureSize;
  class GridWatcher;
  // Draws the thumbnails of the cells in sight (and a row beyond) that have none yet: a
  // folder of hundreds of photos opens without decoding them all.
  void loadVisibleThumbnails();

  std::vector<std::string> _files;
  std::vector<std::shared_ptr<UIButton>> _buttons;
  std::vector<std::shared_ptr<UIButton>> _cells;
  std::vector<bool> _thumbnailTried;
  double _thumbnailSide = kThumbnailSize;
  size_t _columns = 1;
  std::shared_ptr<UIScrollView> _grid;
  std::shared_ptr<GridWatcher> _gridWatcher;

  std::unique_ptr<CameraCapture> _camera;
  std::shared_ptr<UIImageView> _preview;
  std::shared_ptr<UIView> _cameraBar;
  std::shared_ptr<UIButton> _shutter;
  std::shared_ptr<UIButton> _cameraCancel;
  std::shared_ptr<UILabel> _cameraStatus;
  std::shared_ptr<Image> _cameraFrame;
  bool _appeared = false;
  bool _cameraFailed = false;
  std::optional<UIStatusBarStyle> _savedStatusBarStyle;
};

}  // namespace platform
