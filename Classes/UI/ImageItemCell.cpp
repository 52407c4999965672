#include "AppUI/ImageItemCell.h"

#include <algorithm>

ImageItemCell::ImageItemCell() : _imgView(std::make_shared<platform::UIImageView>()) {
  setContentMode(platform::UIViewContentMode::Center);
  _imgView->setContentMode(platform::UIViewContentMode::Center);
  addSubview(_imgView);
}

void ImageItemCell::layoutSubviews() {
  platform::Rect b = bounds();
  _imgView->setFrame(platform::Rect(b.origin.x + 2, b.origin.y + 4, std::max(0.0, b.size.width - 4),
                                    std::max(0.0, b.size.height - 8)));
  if (!_imgView->image()) requestPreview();
}

void ImageItemCell::setData(std::shared_ptr<ContentItem> item) {
  if (item == _data) return;
  if (_data) _data->cancelPreviewImageRenderTask();
  _data = std::move(item);
  _imgView->setImage(nullptr);
  platform::Size size = _imgView->bounds().size;
  if (size.width == 0 || size.height == 0) return;  // the next layout asks
  requestPreview();
}

void ImageItemCell::requestPreview() {
  if (!_data) return;
  std::weak_ptr<UIView> weakSelf = weak_from_this();
  std::weak_ptr<ContentItem> requested = _data;
  _data->getPreviewImageWithSize(
      _imgView->bounds().size, [weakSelf, requested](std::shared_ptr<platform::Image> image) {
        auto self = std::static_pointer_cast<ImageItemCell>(weakSelf.lock());
        // A picture that comes after the cell moved on to another item is not its picture.
        if (self && self->_data == requested.lock()) self->_imgView->setImage(std::move(image));
      });
}
