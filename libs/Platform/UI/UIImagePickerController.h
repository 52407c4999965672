#pragma once

#include <any>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Graphics/Image.h"
#include "UI/UIViewController.h"

namespace platform {

class UIImagePickerController;
class UIButton;
class UIScrollView;

enum class UIImagePickerControllerSourceType { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };

// Keys of what a pick delivers: the picture (std::shared_ptr<Image>, turned as its file's
// EXIF block says), the media type ("public.image") and the file it came from (std::string).
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
// There is no camera unless a host says so.
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
  static void setCameraAvailable(bool available);

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

  void loadView() override;

 private:
  std::vector<std::string> listPictures() const;

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
};

}  // namespace platform
