#include "UI/UIImageView.h"

#include <algorithm>

#include "UI/ImageDrawing.h"
#include "UI/InterfaceContext.h"

namespace platform {

UIImageView::UIImageView() {
  setUserInteractionEnabled(false);
}

UIImageView::UIImageView(Rect frame) : UIView(frame) {
  setUserInteractionEnabled(false);
}

UIImageView::UIImageView(std::shared_ptr<Image> image) : UIImageView() {
  if (image) setFrame(Rect(Point{}, image->size()));
  setImage(std::move(image));
}

void UIImageView::setImage(std::shared_ptr<Image> image) {
  if (image == _image) return;
  _image = std::move(image);
  setNeedsComposite();
}

void UIImageView::setHighlightedImage(std::shared_ptr<Image> image) {
  _highlightedImage = std::move(image);
  if (_highlighted) setNeedsComposite();
}

void UIImageView::setHighlighted(bool highlighted) {
  if (highlighted == _highlighted) return;
  _highlighted = highlighted;
  setNeedsComposite();
}

Size UIImageView::sizeThatFits(Size) const {
  return _image ? _image->size() : Size{};
}

void UIImageView::drawLayerContents(BitmapContext& context, double) const {
  const Image* shown = _highlighted && _highlightedImage ? _highlightedImage.get() : _image.get();
  if (!shown) return;
  drawPicture(context, *shown, contentRect(contentMode(), shown->size(), bounds()));
}

Rect UIImageView::drawnExtent(const Rect& bounds) const {
  // A picture larger than the view spills over its bounds in most content modes.
  const Image* shown = _highlighted && _highlightedImage ? _highlightedImage.get() : _image.get();
  if (!shown) return bounds;
  Rect drawn = contentRect(contentMode(), shown->size(), bounds).standardized();
  double x0 = std::min(bounds.minX(), drawn.minX()), y0 = std::min(bounds.minY(), drawn.minY());
  double x1 = std::max(bounds.maxX(), drawn.maxX()), y1 = std::max(bounds.maxY(), drawn.maxY());
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool UIImageView::applyAttribute(const std::string& name, const std::string& value,
                                 InterfaceContext& context, std::string& error) {
  if (name == "image" || name == "highlightedImage") {
    auto picture = context.image(value, error);
    if (!picture) return false;
    name == "image" ? setImage(*picture) : setHighlightedImage(*picture);
    return true;
  }
  return UIView::applyAttribute(name, value, context, error);
}

}  // namespace platform
