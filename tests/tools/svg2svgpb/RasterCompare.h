#pragma once

#include <memory>
#include <string>

#include "Graphics/Bitmap.h"

namespace svg_fidelity {

// How far two renderings of the same picture are apart, over premultiplied RGBA on a 0-255
// scale: the mean absolute channel difference, and the share of pixels whose largest channel
// difference exceeds a threshold.
struct Difference {
  double meanAbsolute = 0;
  double shareOver = 0;
};

// The pixels of an svgpb file drawn by the program's renderer at width x height pixels,
// top row first; null when it does not load.
std::shared_ptr<platform::Bitmap> renderOurs(const std::string& svgpbPath, int width, int height);
// The pixels of an SVG file drawn by rsvg-convert as large as fits in width x height with its
// aspect ratio kept (as the program's renderer fits pictures); null when that fails.
std::shared_ptr<platform::Bitmap> renderReference(const std::string& svgPath, int width, int height,
                                                  const std::string& scratchPng);
// The share of pixels that are not fully transparent.
double coverage(const platform::Bitmap& bitmap);
// Bitmaps of different sizes compare as completely different.
Difference compare(const platform::Bitmap& a, const platform::Bitmap& b, int threshold);

}  // namespace svg_fidelity
