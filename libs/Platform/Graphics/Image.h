#pragma once

#include <memory>

#include "Foundation/Object.h"
#include "Graphics/Bitmap.h"
#include "Graphics/Geometry.h"

namespace platform {

// How stored pixels are to be shown, numbered as the phone's toolkit numbers them.
enum class ImageOrientation {
  Up = 0,
  Down = 1,
  Left = 2,
  Right = 3,
  UpMirrored = 4,
  DownMirrored = 5,
  LeftMirrored = 6,
  RightMirrored = 7,
};

// Whether the orientation shows the stored pixels turned a quarter (width and height swap).
inline bool isSideways(ImageOrientation o) {
  return o == ImageOrientation::Left || o == ImageOrientation::Right ||
         o == ImageOrientation::LeftMirrored || o == ImageOrientation::RightMirrored;
}

// A picture: immutable stored pixels with a scale (pixels per point) and an orientation. Images
// share their pixels; making one with another scale or orientation copies nothing. An image is
// an object, so it can travel in values (a task's parameters, for one).
class Image : public Object {
 public:
  std::string className() const override { return "Image"; }

  // Null without pixels; a scale that is not positive counts as 1.
  static std::shared_ptr<Image> imageWithBitmap(
      std::shared_ptr<const Bitmap> bitmap, double scale = 1,
      ImageOrientation orientation = ImageOrientation::Up);

  const Bitmap& bitmap() const { return *_bitmap; }
  const std::shared_ptr<const Bitmap>& sharedBitmap() const { return _bitmap; }
  int pixelWidth() const { return _bitmap->width(); }
  int pixelHeight() const { return _bitmap->height(); }
  double scale() const { return _scale; }
  ImageOrientation orientation() const { return _orientation; }
  // The pixel size divided by the scale, turned for the sideways orientations.
  Size size() const;

  Image(std::shared_ptr<const Bitmap> bitmap, double scale, ImageOrientation orientation)
      : _bitmap(std::move(bitmap)), _scale(scale), _orientation(orientation) {}

 private:
  std::shared_ptr<const Bitmap> _bitmap;
  double _scale;
  ImageOrientation _orientation;
};

}  // namespace platform
