#include "Dasher.h"

#include <cmath>
#include <numeric>

namespace svgconvert {

PathGeometry Dasher::dash(const PathGeometry& path, std::vector<double> pattern, double offset,
                          double tolerance) {
  double period = std::accumulate(pattern.begin(), pattern.end(), 0.0);
  for (double length : pattern)
    if (!(length >= 0) || !std::isfinite(length)) return path;
  if (!(period > 0) || !std::isfinite(period) || !std::isfinite(offset)) return path;
  // An odd list repeats to make an even one: dashes and gaps alternate.
  if (pattern.size() % 2 == 1) pattern.insert(pattern.end(), pattern.begin(), pattern.end());
  period = std::accumulate(pattern.begin(), pattern.end(), 0.0);

  PathGeometry dashes;
  for (const PathGeometry::Polyline& line : path.flattened(tolerance)) {
    std::vector<Point> points = line.points;
    if (line.closed && !points.empty()) points.push_back(points.front());
    // Where in the pattern the subpath starts: the offset, taken round the period.
    double position = std::fmod(offset, period);
    if (position < 0) position += period;
    size_t entry = 0;
    while (position >= pattern[entry]) {
      position -= pattern[entry];
      entry = (entry + 1) % pattern.size();
    }
    double left = pattern[entry] - position;  // of the current entry
    bool drawing = entry % 2 == 0;
    if (drawing) dashes.moveTo(points.front());
    for (size_t i = 1; i < points.size(); ++i) {
      Point from = points[i - 1], to = points[i];
      double length = std::hypot(to.x - from.x, to.y - from.y), done = 0;
      while (length - done > left) {
        done += left;
        Point at{from.x + (to.x - from.x) * done / length,
                 from.y + (to.y - from.y) * done / length};
        drawing ? dashes.lineTo(at) : dashes.moveTo(at);
        entry = (entry + 1) % pattern.size();
        drawing = entry % 2 == 0;
        left = pattern[entry];
      }
      left -= length - done;
      if (drawing) dashes.lineTo(to);
    }
  }
  return dashes;
}

}  // namespace svgconvert
