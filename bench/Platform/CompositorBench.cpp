// Compositing a tall screen (640x1136 pixels) of a typical screen: about 60 views with a few
// pictures and labels, from scratch and after one view changed. "From scratch" is a fresh view
// tree (no set text, no rasterized layer) drawn by the compositor a host keeps for its window;
// the first frame of a new compositor also pays for its canvas, measured on its own.
#include <benchmark/benchmark.h>

#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"
#include "UI/Compositor.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UIImageView.h"
#include "UI/UILabel.h"
#include "UI/UIWindow.h"

using namespace platform;

namespace {

std::shared_ptr<Image> picture(int w, int h, std::uint32_t argb) {
  auto bitmap = Bitmap::create(w, h, PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap->setPixel(x, y, argb ^ ((x * 7 + y * 3) & 0xFF));
  return Image::imageWithBitmap(bitmap, 2);
}

struct Screen {
  std::shared_ptr<UIWindow> window;
  std::shared_ptr<UIView> changing;
  int views = 0;
};

Screen makeScreen() {
  Screen screen;
  screen.window = std::make_shared<UIWindow>(Rect(0, 0, 320, 568));
  screen.window->setBackgroundColor(UIColor::blackColor());
  auto root = std::make_shared<UIView>(Rect(0, 20, 320, 548));
  root->setBackgroundColor(UIColor::fromString("#303840"));
  screen.window->addSubview(root);
  auto background = std::make_shared<UIImageView>(Rect(0, 0, 320, 548));
  background->setImage(picture(640, 1096, 0xFF2060C0u));
  root->addSubview(background);
  screen.views = 3;
  for (int row = 0; row < 8; ++row) {
    auto bar = std::make_shared<UIView>(Rect(10, 10 + row * 66, 300, 60));
    bar->setBackgroundColor(UIColor::colorWithWhite(1, 0.15));
    root->addSubview(bar);
    auto icon = std::make_shared<UIImageView>(Rect(5, 5, 50, 50));
    icon->setImage(picture(100, 100, 0xFFC03040u));
    bar->addSubview(icon);
    auto title = std::make_shared<UILabel>(Rect(60, 5, 160, 24));
    title->setText("Item " + std::to_string(row));
    title->setFont(UIFont::boldSystemFontOfSize(17));
    title->setTextColor(UIColor::whiteColor());
    bar->addSubview(title);
    auto button = UIButton::buttonWithType(UIButtonType::RoundedRect);
    button->setFrame(Rect(225, 12, 70, 36));
    button->setTitle("Open", UIControlStateNormal);
    bar->addSubview(button);
    auto badge = std::make_shared<UIView>(Rect(60, 34, 20, 20));
    badge->setBackgroundColor(UIColor::redColor());
    badge->layer().setCornerRadius(10);
    bar->addSubview(badge);
    screen.views += 7;  // bar, icon, label, button with its label and image view, badge
    if (row == 3) screen.changing = badge;
  }
  return screen;
}

void BM_CompositeFromScratch(benchmark::State& state) {
  DeviceProfile::setCurrent(DeviceProfile::phoneTall());
  UIApplication::sharedApplication().setStatusBarHidden(false);
  Compositor compositor;
  for (auto _ : state) {
    state.PauseTiming();
    Screen screen = makeScreen();
    state.ResumeTiming();
    benchmark::DoNotOptimize(compositor.renderWindow(*screen.window, 2, 0));
  }
  state.counters["views"] = makeScreen().views;
}

// Mostly the kernel handing out the canvas's fresh pages: once per host, not per frame.
void BM_CompositeFirstFrameOfNewCompositor(benchmark::State& state) {
  DeviceProfile::setCurrent(DeviceProfile::phoneTall());
  UIApplication::sharedApplication().setStatusBarHidden(false);
  for (auto _ : state) {
    state.PauseTiming();
    Screen screen = makeScreen();
    Compositor compositor;
    state.ResumeTiming();
    benchmark::DoNotOptimize(compositor.renderWindow(*screen.window, 2, 0));
  }
}

void BM_CompositeAfterOneChange(benchmark::State& state) {
  DeviceProfile::setCurrent(DeviceProfile::phoneTall());
  Screen screen = makeScreen();
  Compositor compositor;
  compositor.renderWindow(*screen.window, 2, 0);
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    screen.changing->setAlpha(flip ? 0.5 : 1);
    benchmark::DoNotOptimize(compositor.renderWindow(*screen.window, 2, 0));
  }
}

}  // namespace

BENCHMARK(BM_CompositeFromScratch)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_CompositeFirstFrameOfNewCompositor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_CompositeAfterOneChange)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_MAIN();
