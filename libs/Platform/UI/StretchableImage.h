#pragma once

#include <memory>

#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

namespace platform {

// A picture that stretches only between its caps: a left cap of L points keeps the columns
// left of L as they are and the ones right of L + 1; the column at L is stretched. A cap of 0
// stretches the whole picture in that direction.
class StretchableImage : public Image {
 public:
  StretchableImage(const Image& image, int leftCapWidth, int topCapHeight)
      : Image(image.sharedBitmap(), image.scale(), image.orientation()),
        _leftCapWidth(leftCapWidth),
        _topCapHeight(topCapHeight) {}

  std::string className() const override { return "StretchableImage"; }

  // The picture with caps; null for no picture. Negative caps count as 0.
  static std::shared_ptr<Image> stretchableImageWithLeftCapWidth(
      const std::shared_ptr<Image>& image, int leftCapWidth, int topCapHeight);

  int leftCapWidth() const { return _leftCapWidth; }
  int topCapHeight() const { return _topCapHeight; }

  // The stored pixels of `source` (points of an upright picture) as a picture of their own,
  // made once: drawn alone, a part's edges do not blend with its neighbours.
  std::shared_ptr<Image> part(int column, int row, const Rect& source) const;

 private:
  mutable std::shared_ptr<Image> _parts[3][3];
  int _leftCapWidth;
  int _topCapHeight;
};

}  // namespace platform
