#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "AppUI/ItemCell.h"
#include "AppUI/ItemsViewDataSource.h"
#include "AppUI/ItemsViewDelegate.h"
#include "UI/UIScrollView.h"

// A light recycling collection: a scroll view showing a long run of equally sized cells, of
// which only those that meet the visible rectangle exist on screen. Cells that scroll away go to
// a free list that the data source takes from (last in, first out); the list is never trimmed.
// A touch that ends on a cell selects its index and tells the delegate. The subclasses lay the
// cells out in one row (HorizontalItemsView) or in rows filling the width (VerticalItemsView).
class ItemsView : public platform::UIScrollView {
 public:
  ItemsView() = default;
  explicit ItemsView(platform::Rect frame) : platform::UIScrollView(frame) {}
  std::string className() const override { return "ItemsView"; }

  // Not owned: they must outlive their use, as a screen that owns the strip does.
  std::shared_ptr<ItemsViewDataSource> itemsViewDataSource() const {
    return _itemsViewDataSource.lock();
  }
  void setItemsViewDataSource(std::weak_ptr<ItemsViewDataSource> dataSource) {
    _itemsViewDataSource = std::move(dataSource);
  }
  std::shared_ptr<ItemsViewDelegate> itemsViewDelegate() const { return _itemsViewDelegate.lock(); }
  void setItemsViewDelegate(std::weak_ptr<ItemsViewDelegate> delegate) {
    _itemsViewDelegate = std::move(delegate);
  }

  // Reads the count (none without a data source) and the cell size (zero without a delegate)
  // again and drops every cell; the subclasses then lay out anew.
  virtual void reloadData();
  // The recycle pass: every displayed cell that no longer meets the visible rectangle goes to
  // the free list and leaves the view tree. The subclasses then place the visible indexes.
  virtual void updateItems();
  // Every displayed cell to the free list; the selection stays.
  void clearData();

  // The last freed cell, taken off the free list; null when there is none.
  std::shared_ptr<ItemCell> dequeueReusableCell();
  // The first free cell of exactly `cellClass` (a subclass does not match); null when none.
  std::shared_ptr<ItemCell> dequeueReusableCellWithClass(const std::type_info& cellClass);
  template <class Cell>
  std::shared_ptr<Cell> dequeueReusableCellWithClass() {
    return std::static_pointer_cast<Cell>(dequeueReusableCellWithClass(typeid(Cell)));
  }
  void queueResuableCell(std::shared_ptr<ItemCell> cell);

  std::shared_ptr<ItemCell> findVisibleCellWithIndex(std::int32_t index) const;
  // `point` in content coordinates.
  std::shared_ptr<ItemCell> findVisibleCellAtPoint(platform::Point point) const;

  std::int32_t selectedIndex() const { return _selectedIndex; }
  // Deselects the old index's cell and selects the new one's (both animated), then tells the
  // delegate, also when the index was selected already.
  void setSelectedIndex(std::int32_t index);

  // What the strip holds now, for its owner's checks.
  std::int32_t itemsCount() const { return _nItems; }
  platform::Size itemCellSize() const { return _cellSize; }
  const std::vector<std::shared_ptr<ItemCell>>& displayedCells() const { return _displayItems; }
  size_t freeCellCount() const { return _freeItems.size(); }

  // A strip loaded from an interface file reloads once (its data source is usually not
  // connected yet, so it counts no items).
  void awakeFromNib() override { reloadData(); }

 protected:
  // Shows index `index` in `frame`: its displayed cell, or a new one from the data source added
  // on top of the strip's other children (or beneath all of them, `beneath`), told that it
  // shows. Nothing when the data source gives no cell.
  void placeItem(std::int32_t index, platform::Rect frame, bool beneath);
  // Whether a cell at `frame` would show.
  bool isVisible(platform::Rect frame) const { return !frame.intersection(bounds()).isEmpty(); }

  std::weak_ptr<ItemsViewDataSource> _itemsViewDataSource;
  std::weak_ptr<ItemsViewDelegate> _itemsViewDelegate;
  std::vector<std::shared_ptr<ItemCell>> _freeItems;
  std::vector<std::shared_ptr<ItemCell>> _displayItems;
  std::int32_t _nItems = 0;
  std::int32_t _selectedIndex = -1;
  platform::Size _cellSize;
};
