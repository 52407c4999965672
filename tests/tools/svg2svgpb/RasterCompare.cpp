#include "RasterCompare.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "Graphics/ImageDecoder.h"
#include "SVGView/SVGRenderer.h"

using platform::Bitmap;

namespace svg_fidelity {

namespace {

// Premultiplied channels of an unpremultiplied 0xAARRGGBB pixel, alpha first.
void premultiplied(std::uint32_t argb, int out[4]) {
  int alpha = static_cast<int>(argb >> 24);
  out[0] = alpha;
  for (int i = 1; i < 4; ++i) {
    int channel = static_cast<int>((argb >> (8 * (3 - i))) & 0xff);
    out[i] = (channel * alpha + 127) / 255;
  }
}

std::shared_ptr<Bitmap> upright(const platform::Image& image) {
  const Bitmap& stored = image.bitmap();
  auto copy = Bitmap::create(stored.width(), stored.height(), stored.format());
  if (!copy) return nullptr;
  bool flip = image.orientation() == platform::ImageOrientation::DownMirrored;
  for (int y = 0; y < stored.height(); ++y)
    std::copy(stored.row(y), stored.row(y) + stored.bytesPerRow(),
              copy->row(flip ? stored.height() - 1 - y : y));
  return copy;
}

}  // namespace

std::shared_ptr<Bitmap> renderOurs(const std::string& svgpbPath, int width, int height) {
  SVGRenderer renderer;
  if (!renderer.load(svgpbPath)) return nullptr;
  auto image = renderer.renderImage(static_cast<float>(width), static_cast<float>(height), 1);
  return image ? upright(*image) : nullptr;
}

std::shared_ptr<Bitmap> renderReference(const std::string& svgPath, int width, int height,
                                        const std::string& scratchPng) {
  pid_t child = fork();
  if (child < 0) return nullptr;
  if (child == 0) {
    std::string w = std::to_string(width), h = std::to_string(height);
    execlp("rsvg-convert", "rsvg-convert", "-a", "-w", w.c_str(), "-h", h.c_str(), "-f", "png",
           "-o", scratchPng.c_str(), svgPath.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return nullptr;
  auto image = platform::ImageDecoder::imageWithContentsOfFile(scratchPng);
  return image ? upright(*image) : nullptr;
}

double coverage(const Bitmap& bitmap) {
  long covered = 0;
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x) covered += (bitmap.pixel(x, y) >> 24) != 0;
  return static_cast<double>(covered) / (static_cast<double>(bitmap.width()) * bitmap.height());
}

Difference compare(const Bitmap& a, const Bitmap& b, int threshold) {
  if (a.width() != b.width() || a.height() != b.height()) return {255, 1};
  double total = 0;
  long over = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      int pa[4], pb[4];
      premultiplied(a.pixel(x, y), pa);
      premultiplied(b.pixel(x, y), pb);
      int largest = 0;
      for (int i = 0; i < 4; ++i) {
        int d = std::abs(pa[i] - pb[i]);
        total += d;
        largest = std::max(largest, d);
      }
      if (largest > threshold) ++over;
    }
  }
  double pixels = static_cast<double>(a.width()) * a.height();
  return {total / (4 * pixels), static_cast<double>(over) / pixels};
}

}  // namespace svg_fidelity
