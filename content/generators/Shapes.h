#pragma once

#include <vector>

#include "Graphics/Path.h"

// Outlines the sample pack's art is made of, in points, y growing downward.
namespace Shapes {

platform::Path rect(double x, double y, double width, double height);
platform::Path roundedRect(double x, double y, double width, double height, double radius);
platform::Path circle(double cx, double cy, double r);
platform::Path ellipse(double cx, double cy, double rx, double ry);
// A regular polygon with its first corner straight up.
platform::Path polygon(double cx, double cy, double r, int corners, double turn = 0);
// A star of `points` tips between the outer and inner radius, first tip straight up.
platform::Path star(double cx, double cy, double outer, double inner, int points, double turn = 0);
// A heart whose width is `size`, centred on (cx, cy).
platform::Path heart(double cx, double cy, double size);
// A band from the top of the area down to a wavy lower edge at `y` (amplitude, wave length).
platform::Path wavyTopBand(double width, double y, double amplitude, double wavelength,
                           double phase = 0);
// The mirror image: a band from a wavy upper edge at `y` down to `bottom`.
platform::Path wavyBottomBand(double width, double y, double bottom, double amplitude,
                              double wavelength, double phase = 0);
// A rectangle with a row of semicircle bites along every edge, like a postage stamp.
platform::Path scallopedRect(double x, double y, double width, double height, double radius);
// An open smooth line through the points (Catmull-Rom turned into cubic curves).
platform::Path smoothLine(const std::vector<platform::Point>& points);
// A flower: `petals` ellipses around the centre.
platform::Path petals(double cx, double cy, double length, double width, int petals,
                      double turn = 0);
// A straight segment.
platform::Path line(double x0, double y0, double x1, double y1);

// Adds the outline of `other` to `path`, as more subpaths.
void append(platform::Path& path, const platform::Path& other);

}  // namespace Shapes
