#pragma once

#include <cstdint>

#include "Graphics/Geometry.h"

class ItemsView;

// How big a strip's cells are, and what a selection does.
class ItemsViewDelegate {
 public:
  virtual ~ItemsViewDelegate() = default;
  // Asked at every reload; every cell of the strip has this size.
  virtual platform::Size cellSizeInItemsView(ItemsView& itemsView) = 0;
  // After every selection, also of the index already selected. Optional: nothing by default.
  virtual void itemActionInItemsView(ItemsView& /*itemsView*/, std::int32_t /*index*/) {}
};
