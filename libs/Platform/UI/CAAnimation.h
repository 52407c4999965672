#pragma once

#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "Graphics/AffineTransform.h"
#include "Graphics/Geometry.h"
#include "Graphics/UIColor.h"

namespace platform {

class CATransition;

// The pace of an animation over its duration.
enum class CAMediaTimingFunction { Linear, EaseIn, EaseOut, EaseInEaseOut };

// Progress 0 to 1 through a timing curve (the cubic Bézier curves of the phone's toolkit).
double timingProgress(CAMediaTimingFunction function, double linear);

// A value of an animatable view property.
using AnimationValue = std::variant<double, Point, Rect, AffineTransform, UIColor>;

// `from` at 0, `to` at 1; a value of another kind than `from` answers `to`. Transforms move by
// their parts, scale, rotation (the shorter way round) and translation, not entry by entry.
AnimationValue interpolate(const AnimationValue& from, const AnimationValue& to, double progress);

// Told when a transition (or another layer animation) ends; `finished` is false when it was
// removed or replaced before its end.
class CAAnimationDelegate {
 public:
  virtual ~CAAnimationDelegate() = default;
  virtual void animationDidStart(const CATransition&) {}
  virtual void animationDidStop(const CATransition& animation, bool finished) = 0;
};

// The animations of one animation block: its completion runs once every animation it made has
// ended, told whether all of them ran to their end.
class AnimationGroup {
 public:
  explicit AnimationGroup(std::function<void(bool)> completion)
      : _completion(std::move(completion)) {}
  void animationAdded() { ++_pending; }
  // Posts the completion to the run loop when this was the last one and the block is done.
  void animationEnded(bool finished);
  // The animation block has returned; with nothing to animate the completion is posted now.
  void commit();

 private:
  void finishIfDone();
  std::function<void(bool)> _completion;
  int _pending = 0;
  bool _committed = false;
  bool _allFinished = true;
  bool _reported = false;
};

// One animated property of a layer: the presentation value moves from `from` to `to` between
// `beginTime` and `beginTime + duration` of the run loop's clock; before it begins (a delayed
// animation) it shows `from`.
struct PropertyAnimation {
  std::string keyPath;
  AnimationValue from;
  AnimationValue to;
  double beginTime = 0;
  double duration = 0;
  CAMediaTimingFunction timing = CAMediaTimingFunction::EaseInEaseOut;
  std::shared_ptr<AnimationGroup> group;
  std::uint64_t timer = 0;

  double endTime() const { return beginTime + duration; }
  AnimationValue valueAt(double now) const;
};

}  // namespace platform
