#include "Graphics/GradientPattern.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {
namespace {

bool finite(double v) {
  return std::isfinite(v);
}

// Null when the gradient has no drawable stop.
cairo_pattern_t* withStops(cairo_pattern_t* pattern, const Gradient& gradient) {
  int added = 0;
  for (const Gradient::Stop& stop : gradient.stops) {
    if (!finite(stop.location) || !finite(stop.red) || !finite(stop.green) || !finite(stop.blue) ||
        !finite(stop.alpha))
      continue;
    cairo_pattern_add_color_stop_rgba(
        pattern, std::clamp(stop.location, 0.0, 1.0), std::clamp(stop.red, 0.0, 1.0),
        std::clamp(stop.green, 0.0, 1.0), std::clamp(stop.blue, 0.0, 1.0),
        std::clamp(stop.alpha, 0.0, 1.0));
    ++added;
  }
  if (added == 0 || cairo_pattern_status(pattern) != CAIRO_STATUS_SUCCESS) {
    cairo_pattern_destroy(pattern);
    return nullptr;
  }
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  return pattern;
}

}  // namespace

GradientPattern GradientPattern::linear(const Gradient& gradient, Point start, Point end) {
  if (!finite(start.x) || !finite(start.y) || !finite(end.x) || !finite(end.y)) return {};
  return GradientPattern(
      withStops(cairo_pattern_create_linear(start.x, start.y, end.x, end.y), gradient));
}

GradientPattern GradientPattern::radial(const Gradient& gradient, Point startCenter,
                                        double startRadius, Point endCenter, double endRadius) {
  if (!finite(startCenter.x) || !finite(startCenter.y) || !finite(endCenter.x) ||
      !finite(endCenter.y) || !finite(startRadius) || !finite(endRadius) || startRadius < 0 ||
      endRadius < 0)
    return {};
  return GradientPattern(
      withStops(cairo_pattern_create_radial(startCenter.x, startCenter.y, startRadius, endCenter.x,
                                            endCenter.y, endRadius),
                gradient));
}

GradientPattern::~GradientPattern() {
  if (_pattern) cairo_pattern_destroy(_pattern);
}

GradientPattern::GradientPattern(GradientPattern&& other) noexcept
    : _pattern(std::exchange(other._pattern, nullptr)) {}

GradientPattern& GradientPattern::operator=(GradientPattern&& other) noexcept {
  if (this != &other) {
    if (_pattern) cairo_pattern_destroy(_pattern);
    _pattern = std::exchange(other._pattern, nullptr);
  }
  return *this;
}

}  // namespace platform
