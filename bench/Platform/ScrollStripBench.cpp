// Scrolling a horizontal strip of recycling cells by one screen (320 points) in 60 steps, with
// 100 and with 10,000 items: the cost of a step must not grow with the item count, since only
// the cells in view exist. "Offset" sets the content offset directly (the layout and recycling
// pass alone); "Drag" moves a finger through the offscreen host (touch delivery, the scroll
// view's pan, then the same pass). The median step time is reported as a counter.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "Host/OffscreenHost.h"
#include "UI/UIApplication.h"
#include "UI/UIScrollView.h"
#include "UI/UIWindow.h"

using namespace platform;

namespace {

constexpr double kCellWidth = 80;
constexpr int kSteps = 60;

bool intersects(const Rect& a, const Rect& b) {
  return !a.intersection(b).isEmpty();
}

class Cell : public UIView {
 public:
  using UIView::UIView;
  int index = -1;
};

// Keeps only the visible cells as children, reusing the ones that leave the view.
class Strip : public UIScrollView {
 public:
  Strip(Rect frame, int items) : UIScrollView(frame), _items(items) {
    setContentSize(Size{kCellWidth * items, frame.size.height});
  }
  void layoutSubviews() override {
    Rect visible = bounds();
    for (size_t i = 0; i < _shown.size();) {
      if (!intersects(_shown[i]->frame(), visible)) {
        _shown[i]->removeFromSuperview();
        _free.push_back(std::move(_shown[i]));
        _shown.erase(_shown.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        ++i;
      }
    }
    int first = std::max(0, static_cast<int>(std::floor(contentOffset().x / kCellWidth)));
    for (int i = first; i < _items; ++i) {
      Rect frame(i * kCellWidth, 0, kCellWidth, visible.size.height);
      if (!intersects(frame, visible)) break;
      auto found =
          std::find_if(_shown.begin(), _shown.end(), [&](const auto& c) { return c->index == i; });
      if (found != _shown.end()) continue;
      std::shared_ptr<Cell> cell;
      if (_free.empty()) {
        cell = std::make_shared<Cell>();
      } else {
        cell = std::move(_free.back());
        _free.pop_back();
      }
      cell->index = i;
      cell->setFrame(frame);
      addSubview(cell);
      _shown.push_back(std::move(cell));
    }
  }

 private:
  int _items;
  std::vector<std::shared_ptr<Cell>> _shown;
  std::vector<std::shared_ptr<Cell>> _free;
};

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

void BM_StripScrollOffset(benchmark::State& state) {
  OffscreenHost host;
  auto window = std::make_shared<UIWindow>(Rect(0, 0, 320, 568));
  window->makeKeyAndVisible();
  auto strip = std::make_shared<Strip>(Rect(0, 200, 320, 120), static_cast<int>(state.range(0)));
  window->addSubview(strip);
  strip->layoutIfNeeded();
  std::vector<double> steps;
  double start = 0;
  for (auto _ : state) {
    // Forward through the middle of the strip, then back, so that every pass is alike.
    for (int i = 1; i <= kSteps; ++i) {
      auto t0 = std::chrono::steady_clock::now();
      strip->setContentOffset(Point{start + 320.0 * i / kSteps, 0});
      steps.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    start = start > 0 ? 0 : 320;
    strip->setContentOffset(Point{start, 0});
  }
  state.counters["median_step_us"] = median(steps);
  state.counters["children"] = static_cast<double>(strip->subviews().size());
  UIApplication::sharedApplication().reset();
}
BENCHMARK(BM_StripScrollOffset)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_StripScrollDrag(benchmark::State& state) {
  OffscreenHost host;
  auto window = std::make_shared<UIWindow>(Rect(0, 0, 320, 568));
  window->makeKeyAndVisible();
  auto strip = std::make_shared<Strip>(Rect(0, 200, 320, 120), static_cast<int>(state.range(0)));
  strip->setBounces(false);
  window->addSubview(strip);
  strip->layoutIfNeeded();
  std::vector<double> steps;
  bool forward = true;
  for (auto _ : state) {
    double from = forward ? 310 : 10;
    double sign = forward ? -1 : 1;
    host.touchDown(Point{from, 260});
    // Past the pan's threshold first, so that all 60 timed steps scroll.
    host.advanceBy(0.5);
    host.touchMove(Point{from + sign * 12, 260});
    for (int i = 1; i <= kSteps; ++i) {
      host.advanceBy(0.5);  // slow: no coasting after the finger lifts
      auto t0 = std::chrono::steady_clock::now();
      host.touchMove(Point{from + sign * (12 + 288.0 * i / kSteps), 260});
      steps.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    host.advanceBy(0.5);
    host.touchUp();
    forward = !forward;
  }
  state.counters["median_step_us"] = median(steps);
  state.counters["children"] = static_cast<double>(strip->subviews().size());
  UIApplication::sharedApplication().reset();
}
BENCHMARK(BM_StripScrollDrag)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
