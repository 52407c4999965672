#include "AppUI/ImageListController.h"

#include <algorithm>
#include <cmath>

#include "AppUI/ImageSwapView.h"
#include "AppUI/LoadingView.h"
#include "GeneralTools/DispatchTools.h"
#include "GeneralTools/Tools.h"

using namespace platform;

ImageListController::~ImageListController() {
  if (_resizeTimer) RunLoop::main().cancel(_resizeTimer);
}

void ImageListController::addContentItem(std::shared_ptr<ContentItem> item) {
  addContentItems({std::move(item)});
}

void ImageListController::addContentItems(const std::vector<std::shared_ptr<ContentItem>>& items) {
  for (const auto& item : items) {
    if (item && std::find(_contentItems.begin(), _contentItems.end(), item) == _contentItems.end())
      _contentItems.push_back(item);
  }
  checkImageCache();
}

std::int32_t ImageListController::indexFromCircleIndex(std::int64_t index) const {
  if (_contentItems.empty()) return kNotFound;
  auto count = static_cast<std::int64_t>(_contentItems.size());
  return static_cast<std::int32_t>(((index % count) + count) % count);
}

std::shared_ptr<ContentItem> ImageListController::getContentItemAtIndex(std::int64_t index) const {
  std::int32_t wrapped = indexFromCircleIndex(index);
  return wrapped == kNotFound ? nullptr : _contentItems[static_cast<size_t>(wrapped)];
}

std::string ImageListController::nameAtIndex(std::int64_t index) const {
  auto item = getContentItemAtIndex(index);
  return item ? item->name() : std::string();
}

void ImageListController::setCurIndex(std::int64_t index, int animation) {
  std::int32_t wrapped = indexFromCircleIndex(index);
  if (wrapped == kNotFound || wrapped == _curIndex) return;
  _curIndex = wrapped;
  showCurImageWithAnimation(animation);
}

void ImageListController::setOutOfListImage(std::shared_ptr<Image> image, int animation) {
  if (image == _outOfListImage) return;
  _outOfListImage = std::move(image);
  showCurImageWithAnimation(animation);
}

void ImageListController::setSwapView(ImageSwapView* view) {
  if (view == _swapView) return;
  if (_resizeTimer) RunLoop::main().cancel(_resizeTimer);
  _resizeTimer = 0;
  _swapView = view;
  // A view made anew (after the screen's view was unloaded) shows the layer where it was.
  if (_swapView) _setImageTransform(_imageTransform);
  showCurImageWithAnimation(ImageSwapView::kTransitionNone);
}

void ImageListController::setImageTransform(const AffineTransform& transform) {
  if (transform == _imageTransform) return;
  Size before = prefSizeAtIndex(_curIndex);
  _imageTransform = transform;
  _setImageTransform(transform);
  Size after = prefSizeAtIndex(_curIndex);
  if (after == before) return;
  // A pinch changes the size many times a second; render once it has paused.
  if (_resizeTimer) RunLoop::main().cancel(_resizeTimer);
  std::weak_ptr<ImageListController> weak = weak_from_this();
  _resizeTimer = RunLoop::main().schedule(kResizeDelay, [weak] {
    if (auto self = weak.lock()) {
      self->_resizeTimer = 0;
      self->updateCurrentImageSize();
    }
  });
}

void ImageListController::setImageTempTransform(const AffineTransform& transform) {
  _setImageTransform(transform);
}

void ImageListController::resetImageTempTransform() {
  _setImageTransform(_imageTransform);
}

void ImageListController::_setImageTransform(const AffineTransform& transform) {
  if (_swapView) _swapView->setTransform(transform);
}

Size ImageListController::prefSizeAtIndex(std::int64_t index) const {
  if (!_swapView) return Size{0, 0};
  Rect b = _swapView->bounds();
  Size size = b.size;
  if (indexFromCircleIndex(index) == _curIndex) {
    // The layer's width and height on screen, scale and rotation included.
    Point p0 = _imageTransform.apply(b.origin);
    Point p1 = _imageTransform.apply(Point{b.origin.x + b.size.width, b.origin.y});
    Point p2 = _imageTransform.apply(Point{b.origin.x, b.origin.y + b.size.height});
    double width = std::hypot(p1.x - p0.x, p1.y - p0.y);
    double height = std::hypot(p2.x - p0.x, p2.y - p0.y);
    double factor = 1;
    if (width > kMaximumRenderSide) factor = kMaximumRenderSide / width;
    if (height > kMaximumRenderSide && kMaximumRenderSide / height < factor)
      factor = kMaximumRenderSide / height;
    size = Size{width * factor, height * factor};
  }
  // A layer pinched to nothing (or an infinite scale) still asks for a drawable picture.
  auto side = [](double value) {
    if (!std::isfinite(value)) return kMinimumRenderSide;
    return std::max(kMinimumRenderSide, std::round(value));
  };
  return Size{side(size.width), side(size.height)};
}

bool ImageListController::isStillCurrent(std::int32_t index) const {
  return !_outOfListImage && index == _curIndex;
}

void ImageListController::showCurImageWithAnimation(int animation) {
  if (!_swapView) return;
  if (_outOfListImage) {
    _swapView->swapImage(_outOfListImage, animation);
    return;
  }
  auto item = getContentItemAtIndex(_curIndex);
  if (!item) {
    // An empty list shows nothing.
    if (_swapView->image()) _swapView->swapImage(nullptr, animation);
    return;
  }
  const int delivery = !item->isBigImagePrepared() || animation == ImageSwapView::kTransitionNone
                           ? ImageSwapView::kTransitionFade
                           : animation;
  const std::int32_t index = _curIndex;
  std::weak_ptr<ImageListController> weak = weak_from_this();
  item->getBigImageWithSize(
      prefSizeAtIndex(index), [weak, index, delivery, name = item->name()](auto image) {
        auto self = weak.lock();
        if (!self) return;
        if (!self->isStillCurrent(index)) {
          // The user has left the item: its picture is dropped, and the indicator stays while
          // the item now current is still being drawn.
          auto current = self->getContentItemAtIndex(self->_curIndex);
          if (self->_outOfListImage || !current || !current->isBigImageRendering())
            LoadingView::hide();
          self->checkImageCache();
          return;
        }
        LoadingView::hide();
        Tools::Instance().eventHappened("imageDisplayed", name, 0);
        if (self->_swapView) self->_swapView->swapImage(std::move(image), delivery);
        self->checkImageCache();
      });
  if (item->isBigImageRendering() && animation != ImageSwapView::kTransitionNone) {
    // The old picture leaves now; the wheel turns until the new one comes.
    _swapView->swapImage(nullptr, animation);
    LoadingView::showInView(*_swapView);
  }
}

void ImageListController::updateCurrentImageSize() {
  if (auto item = getContentItemAtIndex(_curIndex)) item->cleanBigImage();
  showCurImageWithAnimation(ImageSwapView::kTransitionNone);
}

void ImageListController::checkImageCache() {
  for (std::int64_t i = std::int64_t{_curIndex} - 1; i <= std::int64_t{_curIndex} + 1; ++i) {
    std::int32_t index = indexFromCircleIndex(i);
    if (index == kNotFound) continue;
    Size size = prefSizeAtIndex(index);
    if (size == Size{0, 0}) continue;
    _contentItems[static_cast<size_t>(index)]->getBigImageWithSize(size, {});
  }
}

void ImageListController::prepareToSave() {
  // Renders and prefetches still queued would only delay the save.
  DispatchTools::Instance().cancelAllTasks();
  auto item = getContentItemAtIndex(_curIndex);
  if (item && !_outOfListImage) {
    const std::int32_t index = _curIndex;
    std::weak_ptr<ImageListController> weak = weak_from_this();
    item->getBigImageWithSize(prefSizeAtIndex(index), [weak, index](auto image) {
      auto self = weak.lock();
      if (self && self->isStillCurrent(index) && self->_swapView)
        self->_swapView->swapImage(std::move(image), ImageSwapView::kTransitionNone);
    });
  }
  if (_outOfListImage) {
    Tools::Instance().eventHappened("imageUsed", std::string("UserImage"), 1);
  } else if (item) {
    Tools::Instance().eventHappened("imageUsed", item->name(), 1);
  }
}
