// Image operations at phone sizes: masking a 640x960 JPEG picture with its grey mask, fitting a
// 3000x4000 photo into 320x480 points at scale 2, rotating 640x960 by 30 degrees.
#include <benchmark/benchmark.h>

#include "Graphics/ImageDecoder.h"
#include "Graphics/ImageEncoder.h"
#include "Imaging/PV_Extensions.h"

using namespace platform;

namespace {

// A JPEG-decoded picture, as decorations and photos arrive.
std::shared_ptr<Image> jpegPicture(int width, int height, PixelFormat format, double scale = 1) {
  auto bitmap = Bitmap::create(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap->setPixel(x, y, 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x + y) & 0xFF));
  auto bytes = ImageEncoder::jpegData(*Image::imageWithBitmap(bitmap), 0.9);
  return ImageDecoder::decode(*bytes, scale);
}

void BM_MaskJpegWithGreyMask(benchmark::State& state) {
  auto picture = jpegPicture(640, 960, PixelFormat::RGB24);
  auto mask = jpegPicture(640, 960, PixelFormat::Grey8);
  for (auto _ : state)
    benchmark::DoNotOptimize(PV_Extensions::imageByMaskingUsingImage(picture, mask));
}

void BM_FitPhotoIntoScreen(benchmark::State& state) {
  auto photo = jpegPicture(3000, 4000, PixelFormat::RGB24, 2);
  for (auto _ : state)
    benchmark::DoNotOptimize(PV_Extensions::imageByScalingProportionallyToSize(photo, {320, 480}));
}

void BM_Rotate30Degrees(benchmark::State& state) {
  auto picture = jpegPicture(640, 960, PixelFormat::RGB24);
  for (auto _ : state) benchmark::DoNotOptimize(PV_Extensions::imageRotatedByDegrees(picture, 30));
}

}  // namespace

BENCHMARK(BM_MaskJpegWithGreyMask)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FitPhotoIntoScreen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotate30Degrees)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
