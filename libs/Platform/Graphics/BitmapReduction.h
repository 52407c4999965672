#pragma once

#include <memory>

#include "Graphics/Bitmap.h"

namespace platform {

// Shrinks pixels by area averaging: each new pixel is the mean of the source area it covers,
// so a photo reduced a long way keeps its detail evenly instead of aliasing.
class BitmapReduction {
 public:
  // A bitmap of the same format, `width` × `height`, no larger than the source on either
  // side; null for a size out of that range.
  static std::shared_ptr<Bitmap> reduce(const Bitmap& source, int width, int height);
};

}  // namespace platform
