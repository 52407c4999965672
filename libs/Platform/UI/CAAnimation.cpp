#include "UI/CAAnimation.h"

#include <algorithm>
#include <cmath>

#include "Foundation/RunLoop.h"

namespace platform {
namespace {

// x(s) and y(s) of a cubic Bézier from (0, 0) to (1, 1) with controls (x1, y1) and (x2, y2).
double bezier(double s, double p1, double p2) {
  double u = 1 - s;
  return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
}

double solveCurve(double x, double x1, double y1, double x2, double y2) {
  // The curve's x is monotonic in s: bisection is exact enough and cannot diverge.
  double lo = 0, hi = 1, s = x;
  for (int i = 0; i < 40; ++i) {
    s = (lo + hi) / 2;
    if (bezier(s, x1, x2) < x) {
      lo = s;
    } else {
      hi = s;
    }
  }
  return bezier(s, y1, y2);
}

double mix(double a, double b, double t) {
  return a + (b - a) * t;
}

}  // namespace

double timingProgress(CAMediaTimingFunction function, double linear) {
  double x = std::clamp(linear, 0.0, 1.0);
  if (x == 0 || x == 1) return x;
  switch (function) {
    case CAMediaTimingFunction::Linear:
      return x;
    case CAMediaTimingFunction::EaseIn:
      return solveCurve(x, 0.42, 0, 1, 1);
    case CAMediaTimingFunction::EaseOut:
      return solveCurve(x, 0, 0, 0.58, 1);
    case CAMediaTimingFunction::EaseInEaseOut:
      return solveCurve(x, 0.42, 0, 0.58, 1);
  }
  return x;
}

AnimationValue interpolate(const AnimationValue& from, const AnimationValue& to, double t) {
  if (from.index() != to.index()) return to;
  return std::visit(
      [&](const auto& a) -> AnimationValue {
        using T = std::decay_t<decltype(a)>;
        const T& b = std::get<T>(to);
        if constexpr (std::is_same_v<T, double>) {
          return mix(a, b, t);
        } else if constexpr (std::is_same_v<T, Point>) {
          return Point{mix(a.x, b.x, t), mix(a.y, b.y, t)};
        } else if constexpr (std::is_same_v<T, Rect>) {
          return Rect(mix(a.origin.x, b.origin.x, t), mix(a.origin.y, b.origin.y, t),
                      mix(a.size.width, b.size.width, t), mix(a.size.height, b.size.height, t));
        } else if constexpr (std::is_same_v<T, AffineTransform>) {
          // Component-wise, as the toolkit interpolates a transform between two matrices.
          return AffineTransform{mix(a.a, b.a, t), mix(a.b, b.b, t),   mix(a.c, b.c, t),
                                 mix(a.d, b.d, t), mix(a.tx, b.tx, t), mix(a.ty, b.ty, t)};
        } else {
          return UIColor{mix(a.red, b.red, t), mix(a.green, b.green, t), mix(a.blue, b.blue, t),
                         mix(a.alpha, b.alpha, t)};
        }
      },
      from);
}

AnimationValue PropertyAnimation::valueAt(double now) const {
  if (now <= beginTime) return from;
  if (duration <= 0 || now >= endTime()) return to;
  return interpolate(from, to, timingProgress(timing, (now - beginTime) / duration));
}

void AnimationGroup::animationEnded(bool finished) {
  if (!finished) _allFinished = false;
  if (_pending > 0) --_pending;
  finishIfDone();
}

void AnimationGroup::commit() {
  _committed = true;
  finishIfDone();
}

void AnimationGroup::finishIfDone() {
  if (!_committed || _pending > 0 || _reported) return;
  _reported = true;
  if (!_completion) return;
  // Never inside the setter or timer that ended the animation: the completion may change the
  // view tree.
  RunLoop::main().post(
      [completion = std::move(_completion), finished = _allFinished] { completion(finished); });
}

}  // namespace platform
