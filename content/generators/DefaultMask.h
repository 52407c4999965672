#pragma once

#include <memory>

#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

// The application's default mask for top/bottom frames that come without one: it keeps a band
// at the top and one at the bottom of the screen, where the call screen's bars are, and removes
// the middle, fading over a few points so that the edge is soft.
namespace DefaultMask {

// Points kept fully from the top and from the bottom edge, and the fade after them.
inline constexpr double kBandHeight = 100;
inline constexpr double kFadeHeight = 14;

// How much of a pixel row at `y` points stays visible on a screen `screenHeight` points high,
// from 0 to 1.
double visibility(double y, double screenHeight);

// The mask as a grey picture of screen × scale pixels: black keeps, white removes.
std::shared_ptr<platform::Image> image(platform::Size screen, double scale);

}  // namespace DefaultMask
