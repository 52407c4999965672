#pragma once

#include <string>

#include "AppUI/ItemsView.h"

// Rows of cells filling the width, scrolling downwards; the content is never wider than the
// strip. A strip narrower than one cell, or with cells of no size, shows nothing.
class VerticalItemsView : public ItemsView {
 public:
  VerticalItemsView() = default;
  explicit VerticalItemsView(platform::Rect frame) : ItemsView(frame) {}
  std::string className() const override { return "VerticalItemsView"; }
  // Makes the class known to interface files.
  static void registerViewClass();

  // Asks the data source for the count again; a new count lays the strip out again, keeping
  // the cells on screen.
  void updateItemsCount();
  void updateContentSize();
  void layoutSubviews() override;
  void reloadData() override;
  void updateItems() override;

  // How many cells a row holds: 0 when not even one fits or the cells have no size.
  int columns() const;
};
