#pragma once

#include "Graphics/Geometry.h"
#include "Graphics/Path.h"

typedef struct _cairo_pattern cairo_pattern_t;

namespace platform {

// A gradient placed in user space, built once and painted any number of times (a picture keeps
// one per gradient it draws). Extended beyond both ends with the end colours. Empty when the
// gradient has no drawable stop or its geometry is not finite.
class GradientPattern {
 public:
  GradientPattern() = default;
  static GradientPattern linear(const Gradient& gradient, Point start, Point end);
  static GradientPattern radial(const Gradient& gradient, Point startCenter, double startRadius,
                                Point endCenter, double endRadius);
  ~GradientPattern();
  GradientPattern(GradientPattern&& other) noexcept;
  GradientPattern& operator=(GradientPattern&& other) noexcept;
  GradientPattern(const GradientPattern&) = delete;
  GradientPattern& operator=(const GradientPattern&) = delete;

  bool empty() const { return _pattern == nullptr; }
  cairo_pattern_t* cairoPattern() const { return _pattern; }

 private:
  explicit GradientPattern(cairo_pattern_t* pattern) : _pattern(pattern) {}
  cairo_pattern_t* _pattern = nullptr;
};

}  // namespace platform
