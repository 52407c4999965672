// The image picker's camera source: the live preview, the shutter and the camera's lifetime.
#include <map>
#include <mutex>

#include "Camera/CameraCapture.h"
#include "Foundation/Console.h"
#include "Foundation/RunLoop.h"
#include "Graphics/BitmapContext.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIImageView.h"
#include "UI/UILabel.h"
#include "UI/UIScreen.h"
#include "UI/UITheme.h"

namespace platform {
namespace {

constexpr double kBarHeight = 96;
constexpr double kShutterSide = 68;

std::optional<std::string>& namedPipeline() {
  static std::optional<std::string> pipeline;
  return pipeline;
}

// The shutter: a white ring around a disc, in the disc's colour `fill`, at the screen's scale.
std::shared_ptr<Image> shutterPicture(double fillWhite, double alpha) {
  double scale = UIScreen::mainScreen().scale();
  int pixels = Bitmap::pixelLength(kShutterSide, scale);
  auto canvas = BitmapContext::create(pixels, pixels, true);
  if (!canvas) return nullptr;
  canvas->scaleCTM(scale, scale);
  const double side = kShutterSide;
  canvas->setFillColor(1, 1, 1, alpha);
  canvas->beginPath();
  canvas->addEllipseInRect(Rect(1, 1, side - 2, side - 2));
  canvas->addEllipseInRect(Rect(4.5, 4.5, side - 9, side - 9));
  canvas->fillPath(FillRule::EvenOdd);
  canvas->setFillColor(fillWhite, fillWhite, fillWhite, alpha);
  canvas->beginPath();
  canvas->addEllipseInRect(Rect(8, 8, side - 16, side - 16));
  canvas->fillPath();
  auto image = canvas->takeImage();
  return image ? Image::imageWithBitmap(image->sharedBitmap(), scale) : nullptr;
}

}  // namespace

void UIImagePickerController::setCameraPipeline(std::optional<std::string> description) {
  namedPipeline() = std::move(description);
}

std::optional<std::string> UIImagePickerController::cameraPipeline() {
  return namedPipeline();
}

std::optional<std::string> UIImagePickerController::cameraSource() {
  if (namedPipeline()) return namedPipeline();
  auto devices = CameraCapture::captureDevices();
  if (devices.empty()) return std::nullopt;
  return CameraCapture::deviceSource(devices.front());
}

bool UIImagePickerController::cameraAvailable() {
  auto source = cameraSource();
  if (!source) return false;
  static std::mutex mutex;
  static std::map<std::string, bool> checked;
  std::lock_guard lock(mutex);
  if (auto known = checked.find(*source); known != checked.end()) return known->second;
  auto problem = CameraCapture::checkSource(*source);
  if (problem) Console::log("Image picker: no camera from \"" + *source + "\": " + *problem);
  checked[*source] = !problem;
  return !problem;
}

void UIImagePickerController::loadCameraView(const Rect& frame) {
  const UITheme& theme = UITheme::current();
  auto root = std::make_shared<UIView>(frame);
  root->setBackgroundColor(UIColor::blackColor());
  setView(root);

  _preview = std::make_shared<UIImageView>(Rect());
  _preview->setContentMode(UIViewContentMode::ScaleAspectFit);
  root->addSubview(_preview);
  _cameraStatus = std::make_shared<UILabel>(Rect());
  _cameraStatus->setText("Starting the camera…");
  _cameraStatus->setFont(UIFont::systemFontOfSize(15));
  _cameraStatus->setTextColor(UIColor::colorWithWhite(1, 0.7));
  _cameraStatus->setTextAlignment(NSTextAlignment::Center);
  _cameraStatus->setBackgroundColor(std::nullopt);
  root->addSubview(_cameraStatus);

  _cameraBar = std::make_shared<UIView>(Rect());
  _cameraBar->setBackgroundColor(theme.sheetPanel);
  root->addSubview(_cameraBar);
  _shutter = UIButton::buttonWithType(UIButtonType::Custom);
  _shutter->setBackgroundImage(shutterPicture(1, 1), UIControlStateNormal);
  _shutter->setBackgroundImage(shutterPicture(0.7, 1), UIControlStateHighlighted);
  _shutter->setBackgroundImage(shutterPicture(1, 0.35), UIControlStateDisabled);
  _shutter->setEnabled(false);  // until there is a frame to take
  _shutter->addTarget([this](UIControl&) { takePicture(); }, UIControlEventTouchUpInside);
  _cameraBar->addSubview(_shutter);
  _buttons.push_back(_shutter);
  _cameraCancel = UIButton::buttonWithType(UIButtonType::Custom);
  _cameraCancel->setTitle("Cancel", UIControlStateNormal);
  _cameraCancel->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
  _cameraCancel->setTitleColor(UIColor::colorWithWhite(1, 0.5), UIControlStateHighlighted);
  _cameraCancel->titleLabel()->setFont(UIFont::systemFontOfSize(17));
  _cameraCancel->addTarget([this](UIControl&) { cancel(); }, UIControlEventTouchUpInside);
  _cameraBar->addSubview(_cameraCancel);
  _buttons.push_back(_cameraCancel);
  layOutCameraView();
}

// Presenting sets the view's frame, so the parts are placed again before each appearance.
void UIImagePickerController::layOutCameraView() {
  if (!_cameraBar) return;
  Size size = view()->bounds().size;
  double previewHeight = std::max(0.0, size.height - kBarHeight);
  _preview->setFrame(Rect(0, 0, size.width, previewHeight));
  _cameraStatus->setFrame(Rect(20, previewHeight / 2 - 15, size.width - 40, 30));
  _cameraBar->setFrame(Rect(0, previewHeight, size.width, kBarHeight));
  _shutter->setFrame(Rect((size.width - kShutterSide) / 2, (kBarHeight - kShutterSide) / 2,
                          kShutterSide, kShutterSide));
  _cameraCancel->setFrame(Rect(8, (kBarHeight - 44) / 2, 84, 44));
}

void UIImagePickerController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  if (_sourceType != UIImagePickerControllerSourceType::Camera || !_cameraBar) return;
  layOutCameraView();
  // Black over black, as the rest of the camera screen.
  UIApplication& app = UIApplication::sharedApplication();
  _savedStatusBarStyle = app.statusBarStyle();
  app.setStatusBarStyle(UIStatusBarStyle::BlackOpaque);
  startCamera();
}

// The camera stops as the picker starts to go: the delegate has its answer, and no failure
// of a camera still running can tell it a second one.
void UIImagePickerController::viewWillDisappear(bool animated) {
  UIViewController::viewWillDisappear(animated);
  _appeared = false;
  if (_camera) _camera->stop();
  if (_savedStatusBarStyle)
    UIApplication::sharedApplication().setStatusBarStyle(*_savedStatusBarStyle);
  _savedStatusBarStyle.reset();
}

void UIImagePickerController::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  _appeared = true;
  if (_cameraFailed) cameraEnded();
}

void UIImagePickerController::startCamera() {
  _cameraFailed = false;
  _cameraFrame = nullptr;
  _preview->setImage(nullptr);
  _shutter->setEnabled(false);
  _cameraStatus->setText("Starting the camera…");
  _cameraStatus->setHidden(false);
  auto source = cameraSource();
  if (!source) {
    Console::log("Image picker: there is no camera");
    cameraEnded();
    return;
  }
  if (!_camera || _camera->source() != *source) _camera = std::make_unique<CameraCapture>(*source);
  // The handlers never outlive the capture, which goes before the views they touch.
  bool started = _camera->start(
      [this](const std::shared_ptr<Image>& frame) {
        _cameraFrame = frame;
        _preview->setImage(frame);
        _cameraStatus->setHidden(true);
        _shutter->setEnabled(true);
      },
      [this](const std::string&) {
        _camera->stop();
        cameraEnded();
      });
  if (!started) cameraEnded();
}

void UIImagePickerController::cameraEnded() {
  _cameraFailed = true;
  _cameraFrame = nullptr;
  _preview->setImage(nullptr);
  _shutter->setEnabled(false);
  _cameraStatus->setText("The camera is not available");
  _cameraStatus->setHidden(false);
  // Told once the presentation has finished, and from the run loop, so that a delegate that
  // dismisses the picker does not do so in the middle of its appearance.
  if (!_appeared) return;
  _cameraFailed = false;
  std::weak_ptr<UIViewController> weakSelf = weak_from_this();
  RunLoop::main().post([weakSelf] {
    auto self = std::static_pointer_cast<UIImagePickerController>(weakSelf.lock());
    if (self) self->cancel();
  });
}

bool UIImagePickerController::takePicture() {
  if (_sourceType != UIImagePickerControllerSourceType::Camera || !_cameraFrame) return false;
  UIImagePickerMediaInfo info;
  info[UIImagePickerControllerOriginalImage] = _cameraFrame;
  info[UIImagePickerControllerMediaType] = kUTTypeImage;
  auto keep = weak_from_this().lock();
  if (auto d = delegate()) d->imagePickerControllerDidFinishPickingMediaWithInfo(*this, info);
  return true;
}

}  // namespace platform
