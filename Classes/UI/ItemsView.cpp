#include "AppUI/ItemsView.h"

#include <algorithm>
#include <typeindex>

void ItemsView::reloadData() {
  clearData();
  auto dataSource = itemsViewDataSource();
  _nItems = dataSource ? std::max<std::int32_t>(0, dataSource->itemsCountInItemsView(*this)) : 0;
  auto delegate = itemsViewDelegate();
  _cellSize = delegate ? delegate->cellSizeInItemsView(*this) : platform::Size{};
}

void ItemsView::updateItems() {
  std::vector<std::shared_ptr<ItemCell>> kept;
  kept.reserve(_displayItems.size());
  for (auto& cell : _displayItems) {
    if (isVisible(cell->frame())) {
      kept.push_back(std::move(cell));
      continue;
    }
    cell->removeFromSuperview();
    _freeItems.push_back(std::move(cell));
  }
  _displayItems = std::move(kept);
}

void ItemsView::clearData() {
  for (auto& cell : _displayItems) {
    cell->removeFromSuperview();
    _freeItems.push_back(std::move(cell));
  }
  _displayItems.clear();
}

std::shared_ptr<ItemCell> ItemsView::dequeueReusableCell() {
  if (_freeItems.empty()) return nullptr;
  auto cell = std::move(_freeItems.back());
  _freeItems.pop_back();
  return cell;
}

std::shared_ptr<ItemCell> ItemsView::dequeueReusableCellWithClass(const std::type_info& cellClass) {
  auto found = std::find_if(_freeItems.begin(), _freeItems.end(), [&](const auto& cell) {
    return std::type_index(typeid(*cell)) == std::type_index(cellClass);
  });
  if (found == _freeItems.end()) return nullptr;
  auto cell = std::move(*found);
  _freeItems.erase(found);
  return cell;
}

void ItemsView::queueResuableCell(std::shared_ptr<ItemCell> cell) {
  if (cell) _freeItems.push_back(std::move(cell));
}

std::shared_ptr<ItemCell> ItemsView::findVisibleCellWithIndex(std::int32_t index) const {
  for (const auto& cell : _displayItems)
    if (cell->cellIndex() == index) return cell;
  return nullptr;
}

std::shared_ptr<ItemCell> ItemsView::findVisibleCellAtPoint(platform::Point point) const {
  for (const auto& cell : _displayItems)
    if (cell->frame().contains(point)) return cell;
  return nullptr;
}

void ItemsView::setSelectedIndex(std::int32_t index) {
  // The delegate may reload the strip or let its owner go.
  auto keep = shared_from_this();
  if (auto old = findVisibleCellWithIndex(_selectedIndex)) old->setSelected(false, true);
  _selectedIndex = index;
  if (auto chosen = findVisibleCellWithIndex(index)) chosen->setSelected(true, true);
  if (auto delegate = itemsViewDelegate()) delegate->itemActionInItemsView(*this, index);
}

void ItemsView::placeItem(std::int32_t index, platform::Rect frame, bool beneath) {
  auto cell = findVisibleCellWithIndex(index);
  if (!cell) {
    auto dataSource = itemsViewDataSource();
    cell = dataSource ? dataSource->cellForItemsView(*this, index) : nullptr;
    if (!cell) return;
    // A data source that made its own cell instead of dequeuing may hand back a free one.
    std::erase(_freeItems, cell);
    if (beneath)
      insertSubview(cell, 0);
    else
      addSubview(cell);
    cell->cellDidShow();
    _displayItems.push_back(cell);
  }
  cell->setCellIndex(index);
  cell->setSelected(index == _selectedIndex, false);
  cell->setFrame(frame);
}
