#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "AppUI/ItemsView.h"
#include "TouchTestSupport.h"

namespace strip_testing {

// A cell that remembers whether it shows selected.
class MarkedCell : public ItemCell {
 public:
  void setSelected(bool selected, bool) override { isSelected = selected; }
  bool isSelected = false;
};

// Data source and delegate of a strip: `count` items of `size`, cells reused first, every
// selection written down.
class StripOwner : public ItemsViewDataSource, public ItemsViewDelegate {
 public:
  StripOwner(std::int32_t count, platform::Size size) : count(count), size(size) {}
  std::int32_t itemsCountInItemsView(ItemsView&) override { return count; }
  std::shared_ptr<ItemCell> cellForItemsView(ItemsView& strip, std::int32_t) override {
    if (auto cell = strip.dequeueReusableCell()) return cell;
    ++made;
    return std::make_shared<MarkedCell>();
  }
  platform::Size cellSizeInItemsView(ItemsView&) override { return size; }
  void itemActionInItemsView(ItemsView&, std::int32_t index) override { actions.push_back(index); }

  std::int32_t count;
  platform::Size size;
  int made = 0;
  std::vector<std::int32_t> actions;
};

// Each displayed cell sits where its index belongs in a grid of `columns` columns.
inline bool cellsInPlace(const ItemsView& strip, int columns) {
  platform::Size s = strip.itemCellSize();
  for (const auto& cell : strip.displayedCells()) {
    int i = cell->cellIndex();
    if (cell->frame() !=
        platform::Rect((i % columns) * s.width, (i / columns) * s.height, s.width, s.height))
      return false;
  }
  return true;
}

}  // namespace strip_testing
