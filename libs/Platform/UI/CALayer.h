#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Graphics/BitmapContext.h"
#include "Graphics/Image.h"
#include "Graphics/UIColor.h"
#include "UI/CAAnimation.h"
#include "UI/CATransition.h"

namespace platform {

class UIView;

// The compositing state of a view: corner radius, border, rasterizing, and the animations that
// make what is drawn differ from the view's model values for a while. Every view owns exactly
// one layer; the layer's geometry is the view's.
class CALayer {
 public:
  explicit CALayer(UIView& view) : _view(view) {}
  ~CALayer();
  CALayer(const CALayer&) = delete;
  CALayer& operator=(const CALayer&) = delete;

  UIView& view() const { return _view; }

  double cornerRadius() const { return _cornerRadius; }
  void setCornerRadius(double radius);
  double borderWidth() const { return _borderWidth; }
  void setBorderWidth(double width);
  UIColor borderColor() const { return _borderColor; }
  void setBorderColor(UIColor color);
  bool masksToBounds() const;
  void setMasksToBounds(bool masks);
  // A rasterized layer is drawn once with its sublayers into a bitmap, which is reused until
  // something in it changes.
  bool shouldRasterize() const { return _shouldRasterize; }
  void setShouldRasterize(bool rasterize);

  // Starts a transition under `key` ("transition" when empty), replacing one under that key.
  void addAnimation(std::shared_ptr<CATransition> transition, const std::string& key = {});
  // Installs a property animation under its key path, replacing (not finishing) one there.
  void addPropertyAnimation(PropertyAnimation animation);
  void removeAnimationForKey(const std::string& key);
  void removeAllAnimations();
  std::vector<std::string> animationKeys() const;
  bool hasRunningAnimations() const { return !_animations.empty() || !_transitions.empty(); }
  // The animation under a key path, or null.
  const PropertyAnimation* animationForKey(const std::string& keyPath) const;
  // What is drawn for a key path at `now`, or nothing when it is not animated.
  std::optional<AnimationValue> presentationValue(const std::string& keyPath, double now) const;

  struct RunningTransition {
    std::shared_ptr<CATransition> transition;
    double beginTime = 0;
    std::shared_ptr<Image> before;  // the layer's look when the transition was added
    std::uint64_t timer = 0;
    double progress(double now) const;
  };
  const std::map<std::string, RunningTransition>& transitions() const { return _transitions; }

  // Draws the layer and its sublayers into `context` in the layer's own coordinates (its
  // bounds), at the model values: what saving a picture of a view uses.
  void renderInContext(BitmapContext& context) const;

  // How many layers of the process have animations running: the hosts redraw while there are.
  static int layersAnimating();

  // The bitmap of a rasterized layer, null when it must be drawn again.
  struct RasterCache {
    std::shared_ptr<Image> image;
    double scale = 0;
    Size size;
  };
  RasterCache& rasterCache() { return _raster; }
  void invalidateRaster() { _raster.image.reset(); }

 private:
  void finishAnimation(const std::string& keyPath, std::uint64_t timer);
  void finishTransition(const std::string& key, std::uint64_t timer);
  void updateAnimatingCount(bool wasAnimating);

  UIView& _view;
  double _cornerRadius = 0;
  double _borderWidth = 0;
  UIColor _borderColor = UIColor::blackColor();
  bool _shouldRasterize = false;
  std::map<std::string, PropertyAnimation> _animations;
  std::map<std::string, RunningTransition> _transitions;
  RasterCache _raster;
};

}  // namespace platform
