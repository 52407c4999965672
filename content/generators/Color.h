#pragma once

#include <cstdint>

#include "Graphics/Path.h"

// An RGBA colour with channels from 0 to 1, as the art of the sample pack is written.
struct Color {
  double red = 0, green = 0, blue = 0, alpha = 1;

  // From 0xRRGGBB.
  static constexpr Color hex(std::uint32_t rgb, double alpha = 1) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
  }

  Color withAlpha(double a) const { return {red, green, blue, a}; }
  // Part of the way towards `other` (0: this colour, 1: the other).
  Color mix(const Color& other, double t) const {
    return {red + (other.red - red) * t, green + (other.green - green) * t,
            blue + (other.blue - blue) * t, alpha + (other.alpha - alpha) * t};
  }
  Color lighter(double t) const { return mix(Color{1, 1, 1, alpha}, t); }
  Color darker(double t) const { return mix(Color{0, 0, 0, alpha}, t); }

  platform::Gradient::Stop stop(double location) const {
    return {location, red, green, blue, alpha};
  }
};
