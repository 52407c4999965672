#include "UI/UIImageView.h"

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
