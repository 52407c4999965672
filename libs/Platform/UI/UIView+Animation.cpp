#include <vector>

#include "Foundation/RunLoop.h"
#include "UI/UIView.h"

namespace platform {
namespace {

struct AnimationBlock {
  double duration;
  double delay;
  UIViewAnimationOptions options;
  std::shared_ptr<AnimationGroup> group;
};

// The blocks being run, innermost last. Main thread only, like the views.
std::vector<AnimationBlock>& blocks() {
  static std::vector<AnimationBlock> stack;
  return stack;
}

bool& animationsEnabled() {
  static bool enabled = true;
  return enabled;
}

CAMediaTimingFunction curveOf(UIViewAnimationOptions options) {
  switch ((options >> 16) & 0xF) {
    case 1:
      return CAMediaTimingFunction::EaseIn;
    case 2:
      return CAMediaTimingFunction::EaseOut;
    case 3:
      return CAMediaTimingFunction::Linear;
    default:
      return CAMediaTimingFunction::EaseInEaseOut;
  }
}

template <class T>
T presented(const CALayer& layer, const char* key, double now, const T& model) {
  auto value = layer.presentationValue(key, now);
  if (value && std::holds_alternative<T>(*value)) return std::get<T>(*value);
  return model;
}

}  // namespace

void UIView::animateWithDuration(double duration, const std::function<void()>& animations) {
  animateWithDuration(duration, 0, 0, animations, nullptr);
}

void UIView::animateWithDuration(double duration, const std::function<void()>& animations,
                                 std::function<void(bool)> completion) {
  animateWithDuration(duration, 0, 0, animations, std::move(completion));
}

void UIView::animateWithDuration(double duration, double delay, UIViewAnimationOptions options,
                                 const std::function<void()>& animations,
                                 std::function<void(bool)> completion) {
  auto group = std::make_shared<AnimationGroup>(std::move(completion));
  blocks().push_back({std::max(0.0, duration), std::max(0.0, delay), options, group});
  if (animations) animations();
  blocks().pop_back();
  group->commit();
}

void UIView::setAnimationsEnabled(bool enabled) {
  animationsEnabled() = enabled;
}

bool UIView::areAnimationsEnabled() {
  return animationsEnabled();
}

void UIView::animateChange(const std::string& keyPath, AnimationValue from, AnimationValue to) {
  if (blocks().empty() || !animationsEnabled()) return;
  const AnimationBlock& block = blocks().back();
  if (block.duration <= 0 && block.delay <= 0) return;
  double now = RunLoop::main().now();
  PropertyAnimation animation;
  animation.keyPath = keyPath;
  // Without "begin from current state" a running animation's target is the starting point,
  // as on the phone (a visible jump when one animation interrupts another).
  if (block.options & UIViewAnimationOptionBeginFromCurrentState) {
    if (auto current = _layer.presentationValue(keyPath, now)) from = *current;
  }
  animation.from = std::move(from);
  animation.to = std::move(to);
  animation.beginTime = now + block.delay;
  animation.duration = block.duration;
  animation.timing = curveOf(block.options);
  animation.group = block.group;
  _layer.addPropertyAnimation(std::move(animation));
}

Point UIView::presentationCenter(double now) const {
  return presented(_layer, "position", now, _center);
}

Rect UIView::presentationBounds(double now) const {
  return presented(_layer, "bounds", now, _bounds);
}

AffineTransform UIView::presentationTransform(double now) const {
  return presented(_layer, "transform", now, _transform);
}

double UIView::presentationAlpha(double now) const {
  return presented(_layer, "opacity", now, _alpha);
}

std::optional<UIColor> UIView::presentationBackgroundColor(double now) const {
  auto value = _layer.presentationValue("backgroundColor", now);
  if (value && std::holds_alternative<UIColor>(*value)) return std::get<UIColor>(*value);
  return _backgroundColor;
}

}  // namespace platform
