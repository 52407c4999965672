#pragma once

#include <memory>

#include "Graphics/BitmapContext.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

namespace platform {

// The toolkit's image canvases: a stack per thread of bitmap canvases to draw pictures into.
// A canvas of a size in points at a scale holds ceil(size × scale) pixels; its user space has
// the origin at the top-left corner, y growing downward, and one unit per point.
class ImageCanvas {
 public:
  // Pushes a new canvas, transparent unless `opaque` (then black without alpha). A scale that
  // is not positive means the main screen's scale. A size that is empty, negative or not
  // finite, or a canvas too large to make, pushes a place holder without a canvas: the getters
  // answer null until it is ended, and end() still pairs with this call.
  static void begin(Size size, bool opaque, double scale);
  // A transparent canvas at scale 1.
  static void begin(Size size) { begin(size, false, 1.0); }

  // The calling thread's current canvas, or null.
  static BitmapContext* currentContext();
  // What the current canvas holds, as an image with the canvas's scale, upright; null without
  // a canvas.
  static std::shared_ptr<Image> imageFromCurrentContext();
  // Pops the current canvas; does nothing when none was begun.
  static void end();
  // How many canvases (place holders included) the calling thread has begun and not ended.
  static int depth();
};

// Begins a canvas and ends it when the object goes.
class ImageCanvasScope {
 public:
  ImageCanvasScope(Size size, bool opaque, double scale) {
    ImageCanvas::begin(size, opaque, scale);
  }
  explicit ImageCanvasScope(Size size) { ImageCanvas::begin(size); }
  ~ImageCanvasScope() { ImageCanvas::end(); }
  ImageCanvasScope(const ImageCanvasScope&) = delete;
  ImageCanvasScope& operator=(const ImageCanvasScope&) = delete;

  BitmapContext* context() const { return ImageCanvas::currentContext(); }
  std::shared_ptr<Image> image() const { return ImageCanvas::imageFromCurrentContext(); }
};

// Draws the image into `rect` of the current canvas (in its top-left, y-down space) as it is
// to be shown: its orientation applied, mirrored ones included. Does nothing without a canvas.
void drawImageInRect(const Image& image, const Rect& rect);
// The same into a given context, whose user space is y-down like a canvas's.
void drawImageInRect(BitmapContext& context, const Image& image, const Rect& rect);

}  // namespace platform
