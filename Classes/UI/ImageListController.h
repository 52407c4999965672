#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Content/ContentItem.h"
#include "Foundation/RunLoop.h"
#include "Graphics/AffineTransform.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

class ImageSwapView;

// One layer of the composition: a list of catalogue items, the current one, and the layer's
// transform. It asks the current item for a picture at the size the layer takes on screen,
// shows it in its swap view and keeps the neighbours' pictures warm in the image cache. An
// out-of-list picture (the user's photo) replaces the items while it is held. Main thread.
class ImageListController : public std::enable_shared_from_this<ImageListController> {
 public:
  static constexpr std::int32_t kNotFound = 0x7FFFFFFF;
  // Neither side of a render is larger than this, nor smaller than the minimum.
  static constexpr double kMaximumRenderSide = 1024;
  static constexpr double kMinimumRenderSide = 10;
  // How long the render size must stay unchanged before the picture is made again.
  static constexpr double kResizeDelay = 0.5;

  ImageListController() = default;
  ~ImageListController();
  ImageListController(const ImageListController&) = delete;
  ImageListController& operator=(const ImageListController&) = delete;

  // Appends the items not yet in the list (compared by identity), in order, then warms the
  // cache.
  void addContentItem(std::shared_ptr<ContentItem> item);
  void addContentItems(const std::vector<std::shared_ptr<ContentItem>>& items);

  // `index` wrapped into the list (-1 is the last item); kNotFound for an empty list.
  std::int32_t indexFromCircleIndex(std::int64_t index) const;
  // Null for an empty list.
  std::shared_ptr<ContentItem> getContentItemAtIndex(std::int64_t index) const;
  // Empty for an empty list.
  std::string nameAtIndex(std::int64_t index) const;
  std::int32_t imagesCount() const { return static_cast<std::int32_t>(_contentItems.size()); }

  std::int32_t curIndex() const { return _curIndex; }
  void setCurIndex(std::int64_t index) { setCurIndex(index, 0); }
  // Moves to the wrapped index and shows its picture with the transition code `animation`;
  // nothing when it is already the current one.
  void setCurIndex(std::int64_t index, int animation);

  void setOutOfListImage(std::shared_ptr<platform::Image> image, int animation);
  bool haveOutOfListImage() const { return _outOfListImage != nullptr; }
  const std::shared_ptr<platform::Image>& outOfListImage() const { return _outOfListImage; }

  // Not owned: the editor's view owns it and detaches the list (none) before it goes.
  ImageSwapView* swapView() const { return _swapView; }
  void setSwapView(ImageSwapView* view);

  const platform::AffineTransform& imageTransform() const { return _imageTransform; }
  // Stores and applies the layer's transform; when the render size changes the picture is
  // made again once the size has stayed put for kResizeDelay.
  void setImageTransform(const platform::AffineTransform& transform);
  // Applies a transform to the swap view only (the preview's shrink); reset applies the
  // stored one again.
  void setImageTempTransform(const platform::AffineTransform& transform);
  void resetImageTempTransform();

  // The size in points at which item `index` is rendered: (0, 0) without a swap view.
  platform::Size prefSizeAtIndex(std::int64_t index) const;

  void showCurImageWithAnimation(int animation);
  // Drops the current item's picture and renders it at the current size.
  void updateCurrentImageSize();
  // Asks for the pictures of the current item and its two neighbours.
  void checkImageCache();
  // Before the composition is drawn for saving: stops queued renders, puts the current
  // picture in place when it is ready and reports what is used.
  void prepareToSave();

 private:
  void _setImageTransform(const platform::AffineTransform& transform);
  // Whether a picture asked for index `index` may still be shown.
  bool isStillCurrent(std::int32_t index) const;

  std::vector<std::shared_ptr<ContentItem>> _contentItems;
  ImageSwapView* _swapView = nullptr;
  std::int32_t _curIndex = 0;
  std::shared_ptr<platform::Image> _outOfListImage;
  platform::AffineTransform _imageTransform;
  platform::RunLoop::TimerId _resizeTimer = 0;
};
