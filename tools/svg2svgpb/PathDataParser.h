#pragma once

#include <string_view>

#include "PathGeometry.h"

namespace svgconvert {

// Reads SVG path data ("d") into absolute moves, lines and cubics. Relative, smooth and
// quadratic commands and arcs are resolved here; commands repeat implicitly, and numbers may be
// packed without separators ("1.5.5" is 1.5 and .5, "-1-2" is -1 and -2, arc flags "10" are 1
// and 0).
class PathDataParser {
 public:
  // The path up to the first error, as SVG renders a faulty path; `complete` says whether the
  // whole text was read.
  static PathGeometry parse(std::string_view data, bool* complete = nullptr);

  // Numbers with the same packing rules, as in "points" lists; false at the first bad number.
  static bool parseNumbers(std::string_view text, std::vector<double>& numbers);

 private:
  explicit PathDataParser(std::string_view data) : _text(data) {}
  bool run();
  void skipSeparators();
  bool atEnd();
  bool number(double& value);
  bool flag(bool& value);
  bool coordinatePair(Point& p, bool relative);

  std::string_view _text;
  size_t _position = 0;
  PathGeometry _path;
};

}  // namespace svgconvert
