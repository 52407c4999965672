#include "UI/UIImagePickerController.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "Camera/CameraCapture.h"
#include "Foundation/Console.h"
#include "Foundation/FileManager.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/ImageDecoder.h"
#include "UI/ImageDrawing.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UIScreen.h"
#include "UI/UIScrollView.h"
#include "UI/UITheme.h"

namespace platform {
namespace {

std::optional<std::string>& libraryOverride() {
  static std::optional<std::string> directory;
  return directory;
}

bool isPictureName(const std::string& name) {
  auto dot = name.rfind('.');
  if (dot == std::string::npos || name[0] == '.') return false;
  std::string ext = name.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == "jpg" || ext == "jpeg" || ext == "png";
}

// A square thumbnail filled by the picture (cropped to fit), at the screen's scale.
std::shared_ptr<Image> thumbnail(const Image& picture, double side) {
  double scale = UIScreen::mainScreen().scale();
  int pixels = Bitmap::pixelLength(side, scale);
  auto canvas = BitmapContext::create(pixels, pixels, false);
  if (!canvas) return nullptr;
  canvas->translateCTM(0, pixels);
  canvas->scaleCTM(scale, -scale);
  Rect square(0, 0, side, side);
  drawPicture(*canvas, picture,
              contentRect(UIViewContentMode::ScaleAspectFill, picture.size(), square));
  auto image = canvas->takeImage();
  return image ? Image::imageWithBitmap(image->sharedBitmap(), scale) : nullptr;
}

}  // namespace

// Draws the thumbnails that scrolling brings into sight; owned by the picker.
class UIImagePickerController::GridWatcher : public UIScrollViewDelegate {
 public:
  explicit GridWatcher(UIImagePickerController& picker) : _picker(picker) {}
  void scrollViewDidScroll(UIScrollView&) override { _picker.loadVisibleThumbnails(); }

 private:
  UIImagePickerController& _picker;
};

UIImagePickerController::UIImagePickerController() = default;

UIImagePickerController::~UIImagePickerController() {
  for (auto& b : _buttons) b->removeAllTargets();
  _camera.reset();  // stops the pipeline before the members its handlers use go
}

void UIImagePickerController::setPhotoLibraryDirectory(std::optional<std::string> directory) {
  libraryOverride() = std::move(directory);
}

std::optional<std::string> UIImagePickerController::photoLibraryDirectory() {
  if (libraryOverride()) return libraryOverride();
  if (const char* pictures = std::getenv("XDG_PICTURES_DIR"); pictures && *pictures)
    return std::string(pictures);
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/Pictures";
  return std::nullopt;
}

bool UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType type) {
  if (type == UIImagePickerControllerSourceType::Camera) return cameraAvailable();
  auto dir = photoLibraryDirectory();
  bool isDirectory = false;
  return dir && FileManager::fileExistsAtPath(*dir, &isDirectory) && isDirectory;
}

std::vector<std::string> UIImagePickerController::listPictures() const {
  std::vector<std::string> files;
  if (_sourceType == UIImagePickerControllerSourceType::Camera) return files;
  auto dir = photoLibraryDirectory();
  auto names = dir ? FileManager::contentsOfDirectoryAtPath(*dir) : std::nullopt;
  if (!names) {
    Console::log("Image picker: no photo library folder to show");
    return files;
  }
  std::sort(names->begin(), names->end());
  for (const auto& name : *names) {
    if (!isPictureName(name)) continue;
    files.push_back(FileManager::stringByAppendingPathComponent(*dir, name));
    if (files.size() == kMaximumPictures) break;
  }
  return files;
}

std::shared_ptr<Image> UIImagePickerController::loadPicture(const std::string& path) {
  // A file of gigabytes would be read whole before the decoder refused it.
  auto data = FileManager::contentsAtPath(path, kMaximumFileSize);
  if (!data) return nullptr;
  return ImageDecoder::decode(*data);  // turned as the camera's EXIF block says
}

std::shared_ptr<Image> UIImagePickerController::loadPicture(const std::string& path,
                                                            Size maxPixels) {
  auto data = FileManager::contentsAtPath(path, kMaximumFileSize);
  if (!data) return nullptr;
  return ImageDecoder::decodeFittingSize(*data, maxPixels);
}

bool UIImagePickerController::pickFileAtIndex(size_t index) {
  if (index >= _files.size()) return false;
  auto picture = _maximumPictureSize ? loadPicture(_files[index], *_maximumPictureSize)
                                     : loadPicture(_files[index]);
  if (!picture) {
    Console::log("Image picker: cannot read " + _files[index]);
    return false;
  }
  UIImagePickerMediaInfo info;
  info[UIImagePickerControllerOriginalImage] = picture;
  info[UIImagePickerControllerMediaType] = kUTTypeImage;
  info[UIImagePickerControllerReferenceURL] = _files[index];
  auto keep = weak_from_this().lock();
  if (auto d = delegate()) d->imagePickerControllerDidFinishPickingMediaWithInfo(*this, info);
  return true;
}

void UIImagePickerController::cancel() {
  auto keep = weak_from_this().lock();
  if (auto d = delegate()) d->imagePickerControllerDidCancel(*this);
}

void UIImagePickerController::loadView() {
  Rect frame = UIScreen::mainScreen().applicationFrame();
  if (_sourceType == UIImagePickerControllerSourceType::Camera) {
    loadCameraView(frame);
    return;
  }
  auto root = std::make_shared<UIView>(frame);
  root->setBackgroundColor(UIColor::whiteColor());
  setView(root);
  auto bar = std::make_shared<UIView>(Rect(0, 0, frame.size.width, 44));
  bar->setBackgroundColor(UITheme::current().systemBar);
  root->addSubview(bar);
  auto cancelButton = UIButton::buttonWithType(UIButtonType::Custom);
  cancelButton->setFrame(Rect(frame.size.width - 75, 7, 70, 30));
  cancelButton->setTitle("Cancel", UIControlStateNormal);
  cancelButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
  // Every button loses its targets when this goes, so `this` is alive when one runs.
  cancelButton->addTarget([this](UIControl&) { cancel(); }, UIControlEventTouchUpInside);
  bar->addSubview(cancelButton);
  _buttons.push_back(cancelButton);
  auto title = std::make_shared<UILabel>(Rect(80, 0, frame.size.width - 160, 44));
  title->setText("Photos");
  title->setFont(UITheme::current().barTitleFont);
  title->setTextColor(UIColor::whiteColor());
  title->setTextAlignment(NSTextAlignment::Center);
  title->setBackgroundColor(std::nullopt);
  bar->addSubview(title);

  auto grid = std::make_shared<UIScrollView>(Rect(0, 44, frame.size.width, frame.size.height - 44));
  root->addSubview(grid);
  _files = listPictures();
  // As many columns as thumbnails of the least size fit, widened to fill the row.
  const double gap = kThumbnailGap;
  int columns = std::max(1, static_cast<int>((frame.size.width - gap) / (kThumbnailSize + gap)));
  const double side = std::max(kThumbnailSize, (frame.size.width - gap) / columns - gap);
  const double cell = side + gap;
  _thumbnailSide = side;
  _columns = static_cast<size_t>(columns);
  _cells.clear();
  _thumbnailTried.assign(_files.size(), false);
  for (size_t i = 0; i < _files.size(); ++i) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    double x = gap + static_cast<double>(i % columns) * cell;
    double y = gap + static_cast<double>(i / columns) * cell;
    button->setFrame(Rect(x, y, side, side));
    button->setBackgroundColor(UIColor::colorWithWhite(0.85, 1));
    button->addTarget([this, i](UIControl&) { pickFileAtIndex(i); }, UIControlEventTouchUpInside);
    grid->addSubview(button);
    _buttons.push_back(button);
    _cells.push_back(std::move(button));
  }
  double rows = std::ceil(static_cast<double>(_files.size()) / columns);
  grid->setContentSize(Size{frame.size.width, gap + rows * cell});
  _grid = grid;
  _gridWatcher = std::make_shared<GridWatcher>(*this);
  grid->setDelegate(_gridWatcher);
  loadVisibleThumbnails();
}

void UIImagePickerController::loadVisibleThumbnails() {
  if (!_grid) return;
  // The rows in sight, one more above and below: worked out from the offset, so a scroll
  // step costs the same however many pictures the folder has.
  Rect visible = _grid->bounds();
  double pitch = _thumbnailSide + kThumbnailGap;
  double top = std::max(0.0, std::floor((visible.origin.y - kThumbnailGap) / pitch) - 1);
  double bottom = std::floor((visible.maxY() - kThumbnailGap) / pitch) + 1;
  size_t first = static_cast<size_t>(top) * _columns;
  size_t end = std::min(_cells.size(), (static_cast<size_t>(std::max(top, bottom)) + 1) * _columns);
  for (size_t i = first; i < end; ++i) {
    if (_thumbnailTried[i]) continue;
    _thumbnailTried[i] = true;
    if (auto picture = loadPicture(_files[i])) {
      _cells[i]->setBackgroundImage(thumbnail(*picture, _thumbnailSide), UIControlStateNormal);
    } else {
      // Said on the tile, rather than only on the console when it is tapped.
      _cells[i]->setTitle("Unreadable", UIControlStateNormal);
      _cells[i]->setTitleColor(UIColor::colorWithWhite(0.4, 1), UIControlStateNormal);
      _cells[i]->titleLabel()->setFont(UIFont::systemFontOfSize(12));
    }
  }
}

}  // namespace platform
