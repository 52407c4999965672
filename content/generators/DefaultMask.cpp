#include "DefaultMask.h"

#include <algorithm>
#include <cmath>

namespace DefaultMask {

double visibility(double y, double screenHeight) {
  double fromEdge = std::min(y, screenHeight - y);
  double t = std::clamp((fromEdge - kBandHeight) / kFadeHeight, 0.0, 1.0);
  // Smoothstep, so that the fade has no visible start or end.
  return 1 - t * t * (3 - 2 * t);
}

std::shared_ptr<platform::Image> image(platform::Size screen, double scale) {
  int width = static_cast<int>(std::lround(screen.width * scale));
  int height = static_cast<int>(std::lround(screen.height * scale));
  auto bitmap = platform::Bitmap::create(width, height, platform::PixelFormat::Grey8);
  if (!bitmap) return nullptr;
  for (int y = 0; y < height; ++y) {
    double keep = visibility((y + 0.5) / scale, screen.height);
    std::fill(bitmap->row(y), bitmap->row(y) + width,
              static_cast<std::uint8_t>(std::lround(255 * (1 - keep))));
  }
  return platform::Image::imageWithBitmap(std::move(bitmap), scale);
}

}  // namespace DefaultMask
