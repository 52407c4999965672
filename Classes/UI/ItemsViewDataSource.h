#pragma once

#include <cstdint>
#include <memory>

class ItemsView;
class ItemCell;

// What a strip shows: how many items, and the cell for one of them.
class ItemsViewDataSource {
 public:
  virtual ~ItemsViewDataSource() = default;
  // Asked at every reload, and by the vertical strip's updateItemsCount.
  virtual std::int32_t itemsCountInItemsView(ItemsView& itemsView) = 0;
  // Asked for each index that becomes visible and has no cell on screen; normally a cell from
  // the strip's dequeueReusableCell, else a new one.
  virtual std::shared_ptr<ItemCell> cellForItemsView(ItemsView& itemsView, std::int32_t index) = 0;
};
