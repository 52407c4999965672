#pragma once

#include <memory>

#include "Graphics/Image.h"
#include "UI/UIView.h"

namespace platform {

// Shows a picture fitted by the content mode; a stretchable picture keeps its caps. Takes no
// touches by default, as on the phone.
class UIImageView : public UIView {
 public:
  UIImageView();
  explicit UIImageView(Rect frame);
  // Framed to the picture's size at the origin.
  explicit UIImageView(std::shared_ptr<Image> image);
  std::string className() const override { return "UIImageView"; }

  const std::shared_ptr<Image>& image() const { return _image; }
  void setImage(std::shared_ptr<Image> image);
  const std::shared_ptr<Image>& highlightedImage() const { return _highlightedImage; }
  void setHighlightedImage(std::shared_ptr<Image> image);
  bool isHighlighted() const { return _highlighted; }
  void setHighlighted(bool highlighted);

  Size sizeThatFits(Size size) const override;
  void drawLayerContents(BitmapContext& context, double scale) const override;
  Rect drawnExtent(const Rect& bounds) const override;
  bool applyAttribute(const std::string& name, const std::string& value, InterfaceContext& context,
                      std::string& error) override;

 private:
  std::shared_ptr<Image> _image;
  std::shared_ptr<Image> _highlightedImage;
  bool _highlighted = false;
};

}  // namespace platform
