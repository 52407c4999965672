#include "Graphics/AffineTransform.h"

#include <algorithm>
#include <cmath>

namespace platform {

AffineTransform AffineTransform::makeRotation(double radians) {
  double s = std::sin(radians), co = std::cos(radians);
  return {co, s, -s, co, 0, 0};
}

AffineTransform AffineTransform::concat(const AffineTransform& t1, const AffineTransform& t2) {
  return {t1.a * t2.a + t1.b * t2.c,           t1.a * t2.b + t1.b * t2.d,
          t1.c * t2.a + t1.d * t2.c,           t1.c * t2.b + t1.d * t2.d,
          t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

AffineTransform AffineTransform::translated(double x, double y) const {
  return concat(makeTranslation(x, y), *this);
}

AffineTransform AffineTransform::scaled(double sx, double sy) const {
  return concat(makeScale(sx, sy), *this);
}

AffineTransform AffineTransform::rotated(double radians) const {
  return concat(makeRotation(radians), *this);
}

bool AffineTransform::isInvertible() const {
  double det = a * d - b * c;
  return det != 0 && std::isfinite(det);
}

AffineTransform AffineTransform::inverted() const {
  if (!isInvertible()) return *this;
  double det = a * d - b * c;
  return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

Rect AffineTransform::apply(const Rect& r) const {
  Rect s = r.standardized();
  Point corners[] = {apply(s.origin), apply(Point{s.origin.x + s.size.width, s.origin.y}),
                     apply(Point{s.origin.x, s.origin.y + s.size.height}),
                     apply(Point{s.origin.x + s.size.width, s.origin.y + s.size.height})};
  double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
  for (const Point& p : corners) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace platform
