#include "Stroker.h"

#include <cmath>
#include <vector>

namespace svgconvert {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Joins of flattened curves turning less than this are folded into a strip; larger turns
// and any corner of the original path get a join of their own.
const double kCosStripTurn = std::cos(30 * kPi / 180);
const double kCosCornerTurn = std::cos(0.5 * kPi / 180);

Point add(Point a, Point b) {
  return {a.x + b.x, a.y + b.y};
}
Point sub(Point a, Point b) {
  return {a.x - b.x, a.y - b.y};
}
Point mul(Point a, double s) {
  return {a.x * s, a.y * s};
}
double dot(Point a, Point b) {
  return a.x * b.x + a.y * b.y;
}
double cross(Point a, Point b) {
  return a.x * b.y - a.y * b.x;
}
Point leftNormal(Point d) {
  return {-d.y, d.x};
}

// A closed piece of the outline: straight points, or a circular arc from the last point.
struct Piece {
  PathGeometry path;
  double area = 0;  // twice the signed area of its control polygon
  Point last;
  bool started = false;

  void to(Point p) {
    if (!started) {
      path.moveTo(p);
      started = true;
    } else {
      area += cross(last, p);
      path.lineTo(p);
    }
    last = p;
  }
  // An arc of `radius` around `center` from the current point by `sweep` radians.
  void arc(Point center, double radius, double sweep) {
    Point from = sub(last, center);
    double start = std::atan2(from.y, from.x);
    int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9)));
    double step = sweep / pieces, k = 4.0 / 3 * std::tan(step / 4);
    for (int i = 0; i < pieces; ++i) {
      double a0 = start + i * step, a1 = a0 + step;
      Point p0 = last;
      Point p3 = add(center, {radius * std::cos(a1), radius * std::sin(a1)});
      Point c1 = add(p0, mul({-std::sin(a0), std::cos(a0)}, k * radius));
      Point c2 = sub(p3, mul({-std::sin(a1), std::cos(a1)}, k * radius));
      area += cross(p0, c1) + cross(c1, c2) + cross(c2, p3);
      path.cubicTo(c1, c2, p3);
      last = p3;
    }
  }
  void closeInto(PathGeometry& outline, Point first) {
    area += cross(last, first);
    path.close();
    // Strips run clockwise in y-up terms (negative area); every other piece is made to agree.
    outline.append(area > 0 ? reversed() : path);
  }
  PathGeometry reversed() const {
    PathGeometry result;
    const auto& segments = path.segments();
    std::vector<Point> ends;
    for (const auto& s : segments)
      if (s.verb != PathGeometry::Verb::Close)
        ends.push_back(s.verb == PathGeometry::Verb::Cubic ? s.points[2] : s.points[0]);
    result.moveTo(ends.back());
    for (size_t i = segments.size() - 1; i >= 1; --i) {
      const auto& s = segments[i];
      if (s.verb == PathGeometry::Verb::Close) continue;
      Point before = ends[i - 1];
      if (s.verb == PathGeometry::Verb::Cubic) {
        result.cubicTo(s.points[1], s.points[0], before);
      } else {
        result.lineTo(before);
      }
    }
    result.close();
    return result;
  }
};

void addCap(PathGeometry& outline, Point p, Point direction, double h, LineCap cap) {
  Point n = leftNormal(direction);
  Piece piece;
  if (cap == LineCap::Square) {
    Point back = add(p, mul(direction, h));
    piece.to(add(p, mul(n, h)));
    piece.to(add(back, mul(n, h)));
    piece.to(sub(back, mul(n, h)));
    piece.to(sub(p, mul(n, h)));
  } else if (cap == LineCap::Round) {
    piece.to(add(p, mul(n, h)));
    // Half a turn through the point ahead of `p` along `direction`.
    double sweep = cross(n, direction) > 0 ? kPi : -kPi;
    piece.arc(p, h, sweep);
  } else {
    return;
  }
  piece.closeInto(outline, piece.path.segments().front().points[0]);
}

void addDot(PathGeometry& outline, Point p, double h, LineCap cap) {
  if (cap == LineCap::Round) {
    Piece piece;
    piece.to({p.x + h, p.y});
    piece.arc(p, h, 2 * kPi);
    piece.closeInto(outline, {p.x + h, p.y});
  } else if (cap == LineCap::Square) {
    addCap(outline, p, {1, 0}, h, cap);
    addCap(outline, p, {-1, 0}, h, cap);
  }
}

void addJoin(PathGeometry& outline, Point p, Point in, Point out, double h,
             const StrokeStyle& style) {
  double turn = cross(in, out), cosTurn = dot(in, out);
  if (std::fabs(turn) < 1e-12 && cosTurn > 0) return;
  // The outer side is away from the turn.
  double side = turn > 0 ? -1 : 1;
  Point a = add(p, mul(leftNormal(in), side * h)), b = add(p, mul(leftNormal(out), side * h));
  Piece piece;
  piece.to(p);
  piece.to(a);
  if (style.join == LineJoin::Round) {
    // The outer arc turns with the path, the short way from a to b.
    piece.arc(p, h, std::atan2(turn, cosTurn));
  } else {
    // Miter ratio 1 / sin(half the angle between the segments) = 1 / cos(half the turn).
    double cosHalf = std::sqrt(std::max(0.0, (1 + cosTurn) / 2));
    if (style.join == LineJoin::Miter && cosHalf > 0 && 1 / cosHalf <= style.miterLimit) {
      Point tip = add(p, mul(add(leftNormal(in), leftNormal(out)), side * h / (1 + cosTurn)));
      piece.to(tip);
    }
    piece.to(b);
  }
  piece.closeInto(outline, p);
}

// One subpath: strips over runs of segments, joins at the vertices that break runs, caps.
void strokePolyline(PathGeometry& outline, const PathGeometry::Polyline& line,
                    const StrokeStyle& style) {
  double h = style.width / 2;
  const std::vector<Point>& p = line.points;
  size_t n = p.size();
  if (n == 1) {
    addDot(outline, p[0], h, style.cap);
    return;
  }
  size_t segments = line.closed ? n : n - 1;
  std::vector<Point> direction(segments);
  std::vector<double> length(segments);
  for (size_t i = 0; i < segments; ++i) {
    Point d = sub(p[(i + 1) % n], p[i]);
    length[i] = std::hypot(d.x, d.y);
    direction[i] = mul(d, 1 / length[i]);
  }
  // Vertex v joins segment v-1 (in) and segment v (out); open ends have no join.
  std::vector<bool> breaks(n, false);
  std::vector<double> halfTurnTan(n, 0);
  for (size_t v = 0; v < n; ++v) {
    if (!line.closed && (v == 0 || v == n - 1)) {
      breaks[v] = true;
      continue;
    }
    Point in = direction[(v + segments - 1) % segments], out = direction[v % segments];
    double c = dot(in, out);
    if (c < (line.joints[v] ? kCosCornerTurn : kCosStripTurn)) {
      breaks[v] = true;
    } else {
      halfTurnTan[v] = std::sqrt(std::max(0.0, (1 - c) / (1 + c)));
    }
  }
  // A strip stays simple when each segment outlasts what the mitered ends take from it.
  for (size_t i = 0; i < segments; ++i) {
    size_t v = i, w = (i + 1) % n;
    if (length[i] <= h * (halfTurnTan[v] + halfTurnTan[w]) * 1.001) {
      breaks[v] = breaks[w] = true;
      halfTurnTan[v] = halfTurnTan[w] = 0;
    }
  }
  auto emitRun = [&](size_t first, size_t count) {
    // Segments first .. first+count-1; left side forward, right side back.
    std::vector<Point> left, right;
    for (size_t k = 0; k <= count; ++k) {
      size_t segment = (first + std::min(k, count - 1)) % segments;
      size_t v = (first + k) % n;
      Point m;
      if (k == 0) {
        m = leftNormal(direction[segment]);
      } else if (k == count) {
        m = leftNormal(direction[segment]);
      } else {
        Point in = direction[(segment + segments - 1) % segments], out = direction[segment];
        m = mul(add(leftNormal(in), leftNormal(out)), 1 / (1 + dot(in, out)));
      }
      left.push_back(add(p[v], mul(m, h)));
      right.push_back(sub(p[v], mul(m, h)));
    }
    outline.moveTo(left[0]);
    for (size_t k = 1; k < left.size(); ++k) outline.lineTo(left[k]);
    for (size_t k = right.size(); k-- > 0;) outline.lineTo(right[k]);
    outline.close();
  };
  bool anyBreak = false;
  for (size_t v = 0; v < n; ++v) anyBreak = anyBreak || breaks[v];
  if (line.closed && !anyBreak) {
    // A ring: the left loop forward and the right loop backward.
    std::vector<Point> left, right;
    for (size_t v = 0; v < n; ++v) {
      Point in = direction[(v + segments - 1) % segments], out = direction[v];
      Point m = mul(add(leftNormal(in), leftNormal(out)), 1 / (1 + dot(in, out)));
      left.push_back(add(p[v], mul(m, h)));
      right.push_back(sub(p[v], mul(m, h)));
    }
    outline.moveTo(left[0]);
    for (size_t v = 1; v < n; ++v) outline.lineTo(left[v]);
    outline.close();
    outline.moveTo(right[n - 1]);
    for (size_t v = n - 1; v-- > 0;) outline.lineTo(right[v]);
    outline.close();
    return;
  }
  // Runs start at break vertices; a closed line is walked from its first break.
  size_t origin = 0;
  while (!breaks[origin]) ++origin;
  size_t runStart = origin, count = 0;
  for (size_t k = 0; k < segments; ++k) {
    size_t segment = (origin + k) % segments;
    ++count;
    size_t end = (segment + 1) % n;
    if (breaks[end] || k == segments - 1) {
      emitRun(runStart, count);
      runStart = end;
      count = 0;
    }
  }
  for (size_t v = 0; v < n; ++v) {
    if (!breaks[v] || (!line.closed && (v == 0 || v == n - 1))) continue;
    addJoin(outline, p[v], direction[(v + segments - 1) % segments], direction[v % segments], h,
            style);
  }
  if (!line.closed) {
    addCap(outline, p[0], mul(direction[0], -1), h, style.cap);
    addCap(outline, p[n - 1], direction[segments - 1], h, style.cap);
  }
}

Point startTangent(Point from, const PathGeometry::Segment& s) {
  if (s.verb != PathGeometry::Verb::Cubic) return sub(s.points[0], from);
  for (const Point& p : s.points)
    if (!(p == from)) return sub(p, from);
  return {0, 0};
}

Point endTangent(Point from, const PathGeometry::Segment& s) {
  if (s.verb != PathGeometry::Verb::Cubic) return sub(s.points[0], from);
  const Point& end = s.points[2];
  for (const Point& p : {s.points[1], s.points[0], from})
    if (!(p == end)) return sub(end, p);
  return {0, 0};
}

bool isCorner(Point in, Point out) {
  double lengths = std::hypot(in.x, in.y) * std::hypot(out.x, out.y);
  if (lengths == 0) return false;
  return dot(in, out) / lengths < kCosCornerTurn;
}

}  // namespace

Stroker::RoundPieces Stroker::roundPieces(const PathGeometry& path, bool roundCaps) {
  using Verb = PathGeometry::Verb;
  struct Piece {
    PathGeometry::Segment segment;
    Point from;
  };
  RoundPieces result;
  std::vector<Piece> pieces;
  Point start, current;
  auto finish = [&](bool closed) {
    if (closed && !(current == start)) {
      pieces.push_back({{Verb::Line, {start}}, current});
      current = start;
    }
    // Zero-length segments have no direction; they take no part.
    std::vector<Piece> drawn;
    for (const Piece& piece : pieces) {
      bool moves = !(piece.from == (piece.segment.verb == Verb::Cubic ? piece.segment.points[2]
                                                                      : piece.segment.points[0]));
      if (piece.segment.verb == Verb::Cubic)
        moves = moves || !(piece.from == piece.segment.points[0]) ||
                !(piece.from == piece.segment.points[1]);
      if (moves) drawn.push_back(piece);
    }
    if (drawn.empty()) {
      if (!pieces.empty() && roundCaps) result.dots.push_back(start);
      pieces.clear();
      return;
    }
    size_t n = drawn.size();
    std::vector<bool> corner(n, false);  // corner[i]: where segment i begins
    for (size_t i = 1; i < n; ++i)
      corner[i] = isCorner(endTangent(drawn[i - 1].from, drawn[i - 1].segment),
                           startTangent(drawn[i].from, drawn[i].segment));
    if (closed)
      corner[0] = isCorner(endTangent(drawn[n - 1].from, drawn[n - 1].segment),
                           startTangent(drawn[0].from, drawn[0].segment));
    size_t first = 0;
    bool anyCorner = false;
    for (size_t i = 0; i < n; ++i) anyCorner = anyCorner || corner[i];
    if (closed && anyCorner)
      while (!corner[first]) ++first;
    for (size_t k = 0; k < n; ++k) {
      size_t i = (first + k) % n;
      if (k == 0 || corner[i]) result.spine.moveTo(drawn[i].from);
      if (corner[i]) result.dots.push_back(drawn[i].from);
      const auto& s = drawn[i].segment;
      if (s.verb == Verb::Cubic) {
        result.spine.cubicTo(s.points[0], s.points[1], s.points[2]);
      } else {
        result.spine.lineTo(s.points[0]);
      }
    }
    if (closed && !anyCorner) result.spine.close();
    if (!closed && roundCaps) {
      result.dots.push_back(drawn.front().from);
      const auto& last = drawn.back().segment;
      result.dots.push_back(last.verb == Verb::Cubic ? last.points[2] : last.points[0]);
    }
    pieces.clear();
  };
  bool open = false;
  for (const auto& s : path.segments()) {
    switch (s.verb) {
      case Verb::Move:
        if (open) finish(false);
        start = current = s.points[0];
        open = true;
        break;
      case Verb::Line:
        pieces.push_back({s, current});
        current = s.points[0];
        break;
      case Verb::Cubic:
        pieces.push_back({s, current});
        current = s.points[2];
        break;
      case Verb::Close:
        finish(true);
        open = false;
        break;
    }
  }
  if (open) finish(false);
  return result;
}

PathGeometry Stroker::outline(const PathGeometry& path, const StrokeStyle& style,
                              double tolerance) {
  PathGeometry result;
  if (!(style.width > 0)) return result;
  for (const auto& line : path.flattened(tolerance)) strokePolyline(result, line, style);
  return result;
}

bool Stroker::matchesButtMiter(const PathGeometry& path, const StrokeStyle& style,
                               double otherMiterLimit) {
  if (style.cap != LineCap::Butt || style.join != LineJoin::Miter) return false;
  double low = std::min(style.miterLimit, otherMiterLimit);
  double high = std::max(style.miterLimit, otherMiterLimit);
  if (low == high) return true;
  for (const auto& line : path.flattened(0.05 * std::max(style.width, 1e-6))) {
    size_t n = line.points.size();
    if (n < 3 && !(line.closed && n == 2)) continue;
    size_t segments = line.closed ? n : n - 1;
    auto direction = [&](size_t i) {
      Point d = sub(line.points[(i + 1) % n], line.points[i % n]);
      return mul(d, 1 / std::hypot(d.x, d.y));
    };
    for (size_t v = line.closed ? 0 : 1; v < (line.closed ? n : n - 1); ++v) {
      double c = dot(direction((v + segments - 1) % segments), direction(v));
      double cosHalf = std::sqrt(std::max(0.0, (1 + c) / 2));
      double ratio = cosHalf > 0 ? 1 / cosHalf : INFINITY;
      if (ratio > low && ratio <= high) return false;
    }
  }
  return true;
}

}  // namespace svgconvert
