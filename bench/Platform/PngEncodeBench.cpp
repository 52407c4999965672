// PNG encoding of a 640x1136 picture at both compression levels: a drawn picture with
// transparency (as the rasterizer writes) and an opaque screen (as screenshots are). Beside
// them, libpng's simplified writer run twice (once to learn the size, once to write), which is
// how pictures were encoded before, to give the saving in one run. The counter "bytes" is the
// encoded size.
#include <benchmark/benchmark.h>
#include <png.h>

#include <random>

#include "Graphics/BitmapContext.h"
#include "Graphics/ImageEncoder.h"

using namespace platform;

namespace {

std::shared_ptr<Image> drawnPicture(bool alpha) {
  auto canvas = BitmapContext::create(640, 1136, alpha);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> x(0, 640), y(0, 1136), r(10, 120), unit(0, 1);
  if (!alpha) {
    canvas->setFillColor(0.95, 0.95, 0.97, 1);
    canvas->fillRect(Rect(0, 0, 640, 1136));
  }
  for (int i = 0; i < 300; ++i) {
    double cx = x(random), cy = y(random), radius = r(random);
    canvas->saveGState();
    canvas->setAlpha(0.4 + 0.6 * unit(random));
    canvas->beginPath();
    canvas->addEllipseInRect(Rect(cx - radius, cy - radius, 2 * radius, 2 * radius));
    if (i % 3 == 0) {
      canvas->clip();
      Gradient gradient{{{0, unit(random), unit(random), 1, 1}, {1, 1, unit(random), 0, 1}}};
      canvas->drawLinearGradient(gradient, {cx - radius, cy}, {cx + radius, cy});
    } else {
      canvas->setFillColor(unit(random), unit(random), unit(random), 1);
      canvas->fillPath();
    }
    canvas->restoreGState();
  }
  return canvas->takeImage();
}

void encode(benchmark::State& state, bool alpha, ImageEncoder::PngCompression level) {
  auto image = drawnPicture(alpha);
  size_t size = 0;
  for (auto _ : state) {
    auto png = ImageEncoder::pngData(*image, level);
    size = png->size();
    benchmark::DoNotOptimize(png);
  }
  state.counters["bytes"] = static_cast<double>(size);
}

// The earlier encoder: unpremultiplied copy, then png_image_write_to_memory twice.
void twoPass(benchmark::State& state, bool alpha) {
  auto image = drawnPicture(alpha);
  const Bitmap& bitmap = image->bitmap();
  size_t size = 0;
  for (auto _ : state) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = 640;
    png.height = 1136;
    png.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    size_t channels = alpha ? 4 : 3, rowBytes = channels * 640;
    std::vector<std::uint8_t> pixels(rowBytes * 1136);
    for (int py = 0; py < 1136; ++py)
      for (int px = 0; px < 640; ++px) {
        std::uint32_t argb = bitmap.pixel(px, py);
        std::uint8_t* out = &pixels[py * rowBytes + px * channels];
        out[0] = argb & 0xFF, out[1] = argb >> 8 & 0xFF, out[2] = argb >> 16 & 0xFF;
        if (alpha) out[3] = argb >> 24;
      }
    png_alloc_size_t bytes = 0;
    png_image_write_to_memory(&png, nullptr, &bytes, 0, pixels.data(), 0, nullptr);
    std::vector<std::uint8_t> out(bytes);
    png_image_write_to_memory(&png, out.data(), &bytes, 0, pixels.data(), 0, nullptr);
    size = bytes;
    benchmark::DoNotOptimize(out);
  }
  state.counters["bytes"] = static_cast<double>(size);
}

}  // namespace

using Level = ImageEncoder::PngCompression;
BENCHMARK_CAPTURE(encode, drawn_alpha_default, true, Level::Default)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, drawn_alpha_fast, true, Level::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(twoPass, drawn_alpha_before, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, screen_default, false, Level::Default)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, screen_fast, false, Level::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(twoPass, screen_before, false)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
