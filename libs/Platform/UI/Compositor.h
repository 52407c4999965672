#pragma once

#include <cstdint>
#include <memory>

#include "Graphics/BitmapContext.h"
#include "Graphics/Image.h"
#include "UI/UIView.h"

namespace platform {

class UIWindow;

// Draws view trees with the graphics layer: presentation values of running animations,
// opacity, transforms about the centre, clipping, corner radii, transitions, and rasterized
// layers reused until something in them changes. Opacity multiplies down the tree (no group
// opacity), as on the phone's older systems.
class Compositor {
 public:
  // Something visible changed since the last frame; hosts present a new frame only then (or
  // while animations run).
  static void setNeedsComposite();
  static std::uint64_t changeSerial();

  // Runs the pending layouts of the window's tree and draws it, with the status bar, at the
  // pixel size of its bounds at `scale`, as things look at `now` of the run loop's clock. The
  // canvas is kept between frames.
  std::shared_ptr<Image> renderWindow(UIWindow& window, double scale, double now);
  // The last frame's canvas (null before the first), for hosts that copy pixels themselves.
  const BitmapContext* canvas() const { return _canvas.get(); }

  // Draws a view and its subtree into a context whose user space is the view's bounds (y
  // down), at the model values: the final state of every animation.
  static void renderLayerInContext(UIView& view, BitmapContext& context);
  // The view's look now as a picture of its bounds at the main screen's scale, without its own
  // opacity and transform: what a transition starts from. Null for an empty view.
  static std::shared_ptr<Image> snapshot(UIView& view);

 private:
  std::unique_ptr<BitmapContext> _canvas;
};

}  // namespace platform
