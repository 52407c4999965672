#pragma once

#include "Graphics/Geometry.h"

namespace platform {

// A 2-D affine transform with the phone drawing library's conventions: a point (x, y) maps to
// (a·x + c·y + tx, b·x + d·y + ty); concatenating t1 with t2 applies t1 first, then t2; and
// translate / scale / rotate act before the existing transform.
struct AffineTransform {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  static AffineTransform identity() { return {}; }
  static AffineTransform makeTranslation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
  static AffineTransform makeScale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  // Positive angles turn the x axis towards the y axis.
  static AffineTransform makeRotation(double radians);

  // `first` applied, then `second`.
  static AffineTransform concat(const AffineTransform& first, const AffineTransform& second);

  AffineTransform translated(double x, double y) const;
  AffineTransform scaled(double sx, double sy) const;
  AffineTransform rotated(double radians) const;
  // The inverse, or this transform unchanged when it has none.
  AffineTransform inverted() const;
  bool isIdentity() const { return *this == AffineTransform{}; }
  bool isInvertible() const;

  Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  Size apply(Size s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
  // The smallest axis-aligned rectangle holding the transformed corners.
  Rect apply(const Rect& r) const;

  bool operator==(const AffineTransform&) const = default;
};

}  // namespace platform
