#include "UI/CAAnimation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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

// An affine transform as scale, then a residual shear, then rotation, then translation: the
// parts an animation moves separately, so that a turning layer keeps its size on the way.
struct TransformParts {
  double sx, sy;
  double k00, k01, k10, k11;  // what is left after scale and rotation: identity unless sheared
  double angle;
  double tx, ty;
};

TransformParts decompose(const AffineTransform& t) {
  TransformParts p{};
  double r0x = t.a, r0y = t.b, r1x = t.c, r1y = t.d;
  p.sx = std::hypot(r0x, r0y);
  p.sy = std::hypot(r1x, r1y);
  // A mirrored transform carries its flip in one of the scale factors.
  if (r0x * r1y - r0y * r1x < 0) {
    if (r0x < r1y) {
      p.sx = -p.sx;
    } else {
      p.sy = -p.sy;
    }
  }
  if (p.sx != 0) r0x /= p.sx, r0y /= p.sx;
  if (p.sy != 0) r1x /= p.sy, r1y /= p.sy;
  p.angle = std::atan2(r0y, r0x);
  double cs = std::cos(p.angle), sn = std::sin(p.angle);
  p.k00 = r0x * cs + r0y * sn;
  p.k01 = -r0x * sn + r0y * cs;
  p.k10 = r1x * cs + r1y * sn;
  p.k11 = -r1x * sn + r1y * cs;
  p.tx = t.tx;
  p.ty = t.ty;
  return p;
}

AffineTransform recompose(const TransformParts& p) {
  double cs = std::cos(p.angle), sn = std::sin(p.angle);
  // The residual, then the rotation; each row then takes its scale factor.
  AffineTransform t;
  t.a = p.sx * (p.k00 * cs - p.k01 * sn);
  t.b = p.sx * (p.k00 * sn + p.k01 * cs);
  t.c = p.sy * (p.k10 * cs - p.k11 * sn);
  t.d = p.sy * (p.k10 * sn + p.k11 * cs);
  t.tx = p.tx;
  t.ty = p.ty;
  return t;
}

AffineTransform interpolateTransform(const AffineTransform& from, const AffineTransform& to,
                                     double t) {
  TransformParts a = decompose(from), b = decompose(to);
  // One flipped on x and the other on y: the same as a half turn without a flip.
  if ((a.sx < 0 && b.sy < 0) || (a.sy < 0 && b.sx < 0)) {
    a.sx = -a.sx;
    a.sy = -a.sy;
    a.angle += a.angle < 0 ? std::numbers::pi : -std::numbers::pi;
  }
  // The shorter way round.
  if (std::abs(a.angle - b.angle) > std::numbers::pi) {
    if (a.angle > b.angle) {
      a.angle -= 2 * std::numbers::pi;
    } else {
      b.angle -= 2 * std::numbers::pi;
    }
  }
  return recompose({mix(a.sx, b.sx, t), mix(a.sy, b.sy, t), mix(a.k00, b.k00, t),
                    mix(a.k01, b.k01, t), mix(a.k10, b.k10, t), mix(a.k11, b.k11, t),
                    mix(a.angle, b.angle, t), mix(a.tx, b.tx, t), mix(a.ty, b.ty, t)});
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
          return interpolateTransform(a, b, t);
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
