// A frame of the editor on the tall phone (640 x 1136 pixels) while two fingers pinch the
// user's photo: the photo under a photo frame and a top/bottom frame, the sample pack's,
// picked through the photo library as a person picks it. Each iteration moves both fingers
// one step (1/60 s of the virtual clock; the spread swings between 50 and 110 points, so the
// pinch never ends) and then draws the frame; only the drawing is timed. "full" draws the
// whole window, as a screenshot does (Compositor::renderWindow); "changes" brings a kept
// canvas up to date, as the window host does for each frame it presents. The counters give
// the median and 90th percentile per frame in milliseconds, and the median time the step's
// touch handling took (recognizers and the layer's new transform) beside the drawing, and the
// largest scale the pinch gave the photo.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <vector>

#include "EditorOnPack.h"

using namespace platform;

namespace {

using Clock = std::chrono::steady_clock;

// A portrait photo with a little of everything: gradients and fine detail.
Bytes photoBytes() {
  auto bitmap = Bitmap::create(1536, 2048, PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < bitmap->height(); ++y)
    for (int x = 0; x < bitmap->width(); ++x)
      bitmap->setPixel(x, y,
                       0xFF000000u | (x * 255 / 1536) << 16 | (y * 255 / 2048) << 8 |
                           (((x / 8) ^ (y / 8)) & 1) * 160);
  return *ImageEncoder::jpegData(*Image::imageWithBitmap(bitmap));
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double percentile90(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() * 9 / 10];
}

// The editor with the photo, the frame and the top/bottom frame shown; null (with a message)
// when it could not be set up.
std::unique_ptr<EditorOnPack> editorWithPhoto(const testing_support::TemporaryDirectory& library) {
  auto pack = std::make_unique<EditorOnPack>(DeviceProfile::phoneTall());
  if (!pack->synced) return std::fprintf(stderr, "the pack did not sync\n"), nullptr;
  OffscreenHost& host = *pack->host;
  content_testing::writeFile(library.file("photo.jpg"), photoBytes());
  UIImagePickerController::setPhotoLibraryDirectory(library.path());
  // A frame from the grid, the next top/bottom frame by a swipe on the top strip, then the
  // photo from the library (the only source: no sheet).
  pack->open(ContentTypePhotoFrame);
  host.tapView(*pack->editor->listView->findVisibleCellWithIndex(1));
  pack->settle();
  pack->swipe(40, -120);
  pack->settle();
  host.tapView(pack->control(AssetViewController::kTagPhotoTab));
  pack->settle();
  auto picker = std::dynamic_pointer_cast<UIImagePickerController>(
      pack->navigation->presentedViewController());
  if (!picker || !picker->pickFileAtIndex(0)) return std::fprintf(stderr, "no photo\n"), nullptr;
  pack->settle();
  auto& editor = *pack->editor;
  if (editor.selectionMode() != AssetViewController::kSelectionModePhoto ||
      !editor.backgroundsList()->haveOutOfListImage() || !editor.frameSwapView->image() ||
      !editor.tbFrameSwapView->image() || editor.tbFramesList()->curIndex() != 1) {
    std::fprintf(stderr, "the photo, the frame and the top/bottom frame are not all shown\n");
    return nullptr;
  }
  return pack;
}

EditorOnPack* gPack = nullptr;

void BM_EditorFramePinchingThePhoto(benchmark::State& state) {
  const bool full = state.range(0) != 0;
  if (!gPack) return state.SkipWithError("no editor");
  OffscreenHost& host = *gPack->host;
  auto& editor = *gPack->editor;
  Compositor windowHost;
  auto draw = [&] {
    if (full) {
      benchmark::DoNotOptimize(host.captureScreen());
    } else {
      windowHost.updateWindow(*gPack->window, DeviceProfile::current().scale,
                              RunLoop::main().now());
    }
  };
  draw();  // the first frame makes the canvas

  const Point centre{160, 284};
  auto fingers = [&](int step) {
    double r = 80 + 30 * std::sin(2 * std::numbers::pi * step / 120), a = 0.004 * step;
    return std::pair{Point{centre.x - r * std::cos(a), centre.y - r * std::sin(a)},
                     Point{centre.x + r * std::cos(a), centre.y + r * std::sin(a)}};
  };
  auto [left, right] = fingers(0);
  host.touchDown(left, 0), host.touchDown(right, 1);
  std::vector<double> frames, touches;
  int step = 0;
  double largest = 0;
  for (auto _ : state) {
    auto started = Clock::now();
    auto [l, r] = fingers(++step);
    host.advanceBy(1.0 / 60);
    host.touchMove(l, 0), host.touchMove(r, 1);
    auto moved = Clock::now();
    draw();
    auto drawn = Clock::now();
    std::chrono::duration<double> touch = moved - started, frame = drawn - moved;
    state.SetIterationTime(frame.count());
    frames.push_back(frame.count() * 1000);
    touches.push_back(touch.count() * 1000);
    const AffineTransform& t = editor.backgroundsList()->imageTransform();
    largest = std::max(largest, std::hypot(t.a, t.b));
  }
  host.touchUp(0), host.touchUp(1);
  if (largest < 1.2 || !editor.frameSwapView->image())
    return state.SkipWithError("the pinch did not scale the photo");
  state.counters["median_ms"] = median(frames);
  state.counters["p90_ms"] = percentile90(frames);
  state.counters["touch_median_ms"] = median(touches);
  state.counters["photo_scale_max"] = largest;
}
BENCHMARK(BM_EditorFramePinchingThePhoto)
    ->ArgName("full")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(600)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  testing_support::TemporaryDirectory library;
  auto pack = editorWithPhoto(library);
  gPack = pack.get();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return pack ? 0 : 1;
}
