#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

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
  Compositor();
  ~Compositor();
  Compositor(const Compositor&) = delete;
  Compositor& operator=(const Compositor&) = delete;

  // Something visible changed since the last frame; hosts present a new frame only then (or
  // while animations run).
  static void setNeedsComposite();
  static std::uint64_t changeSerial();
  // Called on each setNeedsComposite(), so that a host can schedule a frame instead of looking
  // for changes periodically. One observer at a time (null removes it); it is set and removed on
  // the main thread, and must be cheap: it runs on every change.
  static void setChangeObserver(std::function<void()> observer);

  // Runs the pending layouts of the window's tree and draws it, with the status bar, at the
  // pixel size of its bounds at `scale`, as things look at `now` of the run loop's clock. The
  // canvas is kept between frames.
  std::shared_ptr<Image> renderWindow(UIWindow& window, double scale, double now);
  // Brings the kept canvas to the look of renderWindow, drawing again only the regions where
  // something changed since the last frame (all of it on the first frame, after a change of
  // size or window, or when `everything`). Returns those regions in the canvas's pixels (origin
  // top-left), empty when nothing changed.
  std::vector<Rect> updateWindow(UIWindow& window, double scale, double now,
                                 bool everything = false);
  // The last frame's canvas (null before the first), for hosts that copy pixels themselves.
  const BitmapContext* canvas() const { return _canvas.get(); }

  // Draws a view and its subtree into a context whose user space is the view's bounds (y
  // down), at the model values: the final state of every animation.
  static void renderLayerInContext(UIView& view, BitmapContext& context);
  // The view's look now as a picture of its bounds at the main screen's scale, without its own
  // opacity and transform: what a transition starts from. Null for an empty view.
  static std::shared_ptr<Image> snapshot(UIView& view);

 private:
  struct Shown;
  std::unique_ptr<BitmapContext> _canvas;
  // What the last frame showed of each view, by composite id, and of the rest of the screen.
  std::unique_ptr<Shown> _shown;
};

}  // namespace platform
