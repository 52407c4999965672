#include "UI/CALayer.h"

#include <algorithm>

#include "Foundation/RunLoop.h"
#include "UI/Compositor.h"
#include "UI/UIView.h"

namespace platform {
namespace {

int& animatingCount() {
  static int count = 0;
  return count;
}

}  // namespace

CALayer::~CALayer() {
  bool was = hasRunningAnimations();
  for (auto& [key, animation] : _animations) {
    RunLoop::main().cancel(animation.timer);
    if (animation.group) animation.group->animationEnded(false);
  }
  _animations.clear();
  auto transitions = std::move(_transitions);
  _transitions.clear();
  for (auto& [key, running] : transitions) RunLoop::main().cancel(running.timer);
  if (was) --animatingCount();
}

void CALayer::setCornerRadius(double radius) {
  if (radius == _cornerRadius) return;
  _cornerRadius = radius;
  _view.setNeedsDisplay();
}

void CALayer::setBorderWidth(double width) {
  _borderWidth = width;
  _view.setNeedsDisplay();
}

void CALayer::setBorderColor(UIColor color) {
  _borderColor = color;
  _view.setNeedsDisplay();
}

bool CALayer::masksToBounds() const {
  return _view.clipsToBounds();
}

void CALayer::setMasksToBounds(bool masks) {
  _view.setClipsToBounds(masks);
}

void CALayer::setShouldRasterize(bool rasterize) {
  _shouldRasterize = rasterize;
  invalidateRaster();
  Compositor::setNeedsComposite();
}

void CALayer::updateAnimatingCount(bool wasAnimating) {
  bool is = hasRunningAnimations();
  if (is && !wasAnimating) ++animatingCount();
  if (!is && wasAnimating) --animatingCount();
  Compositor::setNeedsComposite();
}

int CALayer::layersAnimating() {
  return animatingCount();
}

void CALayer::addPropertyAnimation(PropertyAnimation animation) {
  bool was = hasRunningAnimations();
  std::string key = animation.keyPath;
  auto old = _animations.find(key);
  if (old != _animations.end()) {
    RunLoop::main().cancel(old->second.timer);
    auto group = old->second.group;
    _animations.erase(old);
    if (group) group->animationEnded(false);
  }
  if (animation.group) animation.group->animationAdded();
  double delay = std::max(0.0, animation.endTime() - RunLoop::main().now());
  auto& installed = _animations[key] = std::move(animation);
  // The id is known only once scheduled, so the timer looks itself up by a shared slot.
  auto id = std::make_shared<std::uint64_t>(0);
  installed.timer = *id =
      RunLoop::main().schedule(delay, [this, key, id] { finishAnimation(key, *id); });
  updateAnimatingCount(was);
}

void CALayer::finishAnimation(const std::string& keyPath, std::uint64_t timer) {
  auto it = _animations.find(keyPath);
  if (it == _animations.end() || it->second.timer != timer) return;
  bool was = hasRunningAnimations();
  auto group = it->second.group;
  _animations.erase(it);
  updateAnimatingCount(was);
  if (group) group->animationEnded(true);
}

void CALayer::addAnimation(std::shared_ptr<CATransition> transition, const std::string& key) {
  if (!transition) return;
  std::string name = key.empty() ? "transition" : key;
  bool was = hasRunningAnimations();
  RunningTransition running;
  running.transition = transition;
  running.beginTime = RunLoop::main().now();
  running.before = Compositor::snapshot(_view);
  auto old = _transitions.find(name);
  std::shared_ptr<CATransition> replaced;
  if (old != _transitions.end()) {
    RunLoop::main().cancel(old->second.timer);
    replaced = old->second.transition;
    _transitions.erase(old);
  }
  auto id = std::make_shared<std::uint64_t>(0);
  running.timer = *id = RunLoop::main().schedule(std::max(0.0, transition->duration()),
                                                 [this, name, id] { finishTransition(name, *id); });
  _transitions[name] = std::move(running);
  updateAnimatingCount(was);
  if (replaced && replaced->delegate()) replaced->delegate()->animationDidStop(*replaced, false);
  if (transition->delegate()) transition->delegate()->animationDidStart(*transition);
}

void CALayer::finishTransition(const std::string& key, std::uint64_t timer) {
  auto it = _transitions.find(key);
  if (it == _transitions.end() || it->second.timer != timer) return;
  bool was = hasRunningAnimations();
  auto transition = it->second.transition;
  _transitions.erase(it);
  updateAnimatingCount(was);
  // The delegate may add the next transition at once.
  if (transition->delegate()) transition->delegate()->animationDidStop(*transition, true);
}

void CALayer::removeAnimationForKey(const std::string& key) {
  bool was = hasRunningAnimations();
  if (auto it = _animations.find(key); it != _animations.end()) {
    RunLoop::main().cancel(it->second.timer);
    auto group = it->second.group;
    _animations.erase(it);
    updateAnimatingCount(was);
    if (group) group->animationEnded(false);
    return;
  }
  if (auto it = _transitions.find(key); it != _transitions.end()) {
    RunLoop::main().cancel(it->second.timer);
    auto transition = it->second.transition;
    _transitions.erase(it);
    updateAnimatingCount(was);
    if (transition->delegate()) transition->delegate()->animationDidStop(*transition, false);
  }
}

void CALayer::removeAllAnimations() {
  for (const std::string& key : animationKeys()) removeAnimationForKey(key);
}

std::vector<std::string> CALayer::animationKeys() const {
  std::vector<std::string> keys;
  for (const auto& [key, animation] : _animations) keys.push_back(key);
  for (const auto& [key, running] : _transitions) keys.push_back(key);
  return keys;
}

const PropertyAnimation* CALayer::animationForKey(const std::string& keyPath) const {
  auto it = _animations.find(keyPath);
  return it == _animations.end() ? nullptr : &it->second;
}

std::optional<AnimationValue> CALayer::presentationValue(const std::string& keyPath,
                                                         double now) const {
  auto it = _animations.find(keyPath);
  if (it == _animations.end()) return std::nullopt;
  return it->second.valueAt(now);
}

double CALayer::RunningTransition::progress(double now) const {
  double duration = transition->duration();
  if (duration <= 0) return 1;
  return timingProgress(transition->timingFunction(), (now - beginTime) / duration);
}

void CALayer::renderInContext(BitmapContext& context) const {
  Compositor::renderLayerInContext(_view, context);
}

}  // namespace platform
