#pragma once

#include <optional>
#include <vector>

#include "Graphics/AffineTransform.h"
#include "Graphics/Geometry.h"

namespace svgconvert {

using platform::AffineTransform;
using platform::Point;
using platform::Rect;

// An outline in absolute coordinates made of moves, lines, cubic curves and closes: the only
// segments the picture format has. Quadratic curves and elliptical arcs are turned into cubics
// as they are added. A drawing segment after a close starts a new subpath at the closed one's
// start, with an explicit move.
class PathGeometry {
 public:
  enum class Verb { Move, Line, Cubic, Close };
  struct Segment {
    Verb verb;
    Point points[3];  // Move and Line use points[0]; Cubic has two controls and the end
  };
  // One subpath flattened to straight pieces. `joints` marks the points where two segments of
  // the original path meet (corners may sit there); the others lie inside a flattened curve.
  struct Polyline {
    std::vector<Point> points;
    std::vector<bool> joints;
    bool closed = false;
  };

  void moveTo(Point p);
  void lineTo(Point p);
  void cubicTo(Point c1, Point c2, Point end);
  void quadTo(Point control, Point end);
  // The SVG elliptical arc from the current point; radii are corrected as SVG requires.
  void arcTo(double rx, double ry, double xAxisRotation, bool largeArc, bool sweep, Point end);
  void close();
  // A closed ellipse of four cubic quarters from its right-most point, drawn as the renderer
  // draws its circles.
  void addEllipse(Point center, double rx, double ry);
  // Appends every segment of `other`.
  void append(const PathGeometry& other);

  const std::vector<Segment>& segments() const { return _segments; }
  bool isEmpty() const { return _segments.empty(); }
  // The current point: the last end point, or the start of a closed subpath.
  Point currentPoint() const { return _current; }
  int subpathCount() const;
  bool isFinite() const;

  PathGeometry transformed(const AffineTransform& transform) const;
  // The exact bounds of the geometry (curve extremes included), none when there is no segment.
  std::optional<Rect> bounds() const;
  // Subpaths as polylines whose distance from the curves stays under `tolerance`. Subpaths
  // with no drawing segment are left out; repeated points are merged.
  std::vector<Polyline> flattened(double tolerance) const;

 private:
  void beginIfClosed();

  std::vector<Segment> _segments;
  Point _start, _current;
  bool _open = false;  // a subpath has been started and not closed
};

}  // namespace svgconvert
