// Scrolling the catalogue grid: a vertical strip of 80 x 120 image cells, 320 x 480 points on
// screen, moved down one screen per step (back to the top at the end) with 100, 1,000 and
// 10,000 items. Each step recycles the cells that left, places the ones that came in and lays
// them out, so each new cell asks its item for its preview; the previews wait in the image
// cache, so that what is measured is the strip and its cells, not the rendering. The time per
// iteration is the cost of one step and must not grow with the item count; the counters give
// the most cells ever on screen and ever made, beside the most that can show at once. The
// second argument 0 runs the same steps with plain cells: the strip's own share of the cost,
// without the image cache's lookups.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "AppUI/ImageItemCell.h"
#include "AppUI/VerticalItemsView.h"
#include "Graphics/Bitmap.h"
#include "Host/OffscreenHost.h"
#include "Imaging/ImageCache.h"
#include "UI/UIApplication.h"
#include "UI/UIWindow.h"

using namespace platform;

namespace {

constexpr Size kCell{80, 120};
constexpr double kScreen = 480;
constexpr int kCachedPreviews = 10000;

class Catalogue : public ItemsViewDataSource, public ItemsViewDelegate {
 public:
  Catalogue(int count, bool images) : _images(images) {
    auto bitmap = Bitmap::create(152, 224, PixelFormat::ARGB32Premultiplied);
    auto preview = Image::imageWithBitmap(bitmap, 2);
    // The cache holds as many previews in every run: the runs differ in the strip's count only.
    for (int i = 0; i < kCachedPreviews; ++i) {
      std::string name = "clipart" + std::to_string(i + 1);
      auto item = ContentItem::ContentItemWithName(name, "1", {name + "_small.png"});
      ImageCache::Instance().cachImage(preview, item->smallImageKeyName());
      if (i < count) _items.push_back(std::move(item));
    }
  }
  std::int32_t itemsCountInItemsView(ItemsView&) override {
    return static_cast<std::int32_t>(_items.size());
  }
  std::shared_ptr<ItemCell> cellForItemsView(ItemsView& strip, std::int32_t index) override {
    if (!_images) {
      if (auto plain = strip.dequeueReusableCell()) return plain;
      ++made;
      return std::make_shared<ItemCell>();
    }
    auto cell = strip.dequeueReusableCellWithClass<ImageItemCell>();
    if (!cell) {
      cell = std::make_shared<ImageItemCell>();
      ++made;
    }
    cell->setData(_items[index]);
    return cell;
  }
  Size cellSizeInItemsView(ItemsView&) override { return kCell; }

  int made = 0;

 private:
  bool _images;
  std::vector<std::shared_ptr<ContentItem>> _items;
};

void BM_VerticalGridScreenSteps(benchmark::State& state) {
  OffscreenHost host;
  auto window = std::make_shared<UIWindow>(Rect(0, 0, 320, 568));
  window->makeKeyAndVisible();
  auto catalogue =
      std::make_shared<Catalogue>(static_cast<int>(state.range(0)), state.range(1) != 0);
  auto grid = std::make_shared<VerticalItemsView>(Rect(0, 44, 320, kScreen));
  window->addSubview(grid);
  grid->setItemsViewDataSource(catalogue);
  grid->setItemsViewDelegate(catalogue);
  grid->reloadData();
  window->layoutIfNeeded();
  // Half a row down, so that every screen shows five rows, two of them in part.
  double y = kCell.height / 2;
  size_t live = 0;
  for (auto _ : state) {
    y += kScreen;
    if (y > grid->maximumContentOffset().y) y = kCell.height / 2;
    grid->setContentOffset(Point{0, y});
    window->layoutIfNeeded();  // the new cells lay out and take their previews
    live = std::max(live, grid->displayedCells().size());
  }
  int columns = grid->columns();
  state.counters["live_cells_max"] = static_cast<double>(live);
  state.counters["cells_made"] = catalogue->made;
  state.counters["visible_max"] = (kScreen / kCell.height + 1) * columns;
  bool filled = true;
  for (const auto& cell : grid->displayedCells()) {
    auto image = std::dynamic_pointer_cast<ImageItemCell>(cell);
    filled = filled && (state.range(1) == 0 || (image && image->imgView()->image()));
  }
  if (!filled) state.SkipWithError("a cell on screen shows no preview");
  grid.reset();
  ImageCache::Instance().cleanCache();
  UIApplication::sharedApplication().reset();
}
BENCHMARK(BM_VerticalGridScreenSteps)
    ->ArgsProduct({{100, 1000, 10000}, {1, 0}})
    ->ArgNames({"items", "images"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
