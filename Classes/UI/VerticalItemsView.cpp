#include "AppUI/VerticalItemsView.h"

#include <algorithm>
#include <cmath>

#include "UI/ViewClassRegistry.h"

using platform::Rect;
using platform::Size;

void VerticalItemsView::registerViewClass() {
  platform::ViewClassRegistry::registerClass("VerticalItemsView",
                                             [] { return std::make_shared<VerticalItemsView>(); });
}

int VerticalItemsView::columns() const {
  double width = bounds().size.width;
  if (!(_cellSize.width > 0) || !(_cellSize.height > 0) || !std::isfinite(width)) return 0;
  return static_cast<int>(std::clamp(std::floor(width / _cellSize.width), 0.0, 1e6));
}

void VerticalItemsView::updateItemsCount() {
  auto dataSource = itemsViewDataSource();
  std::int32_t count =
      dataSource ? std::max<std::int32_t>(0, dataSource->itemsCountInItemsView(*this)) : 0;
  if (count == _nItems) return;
  _nItems = count;
  setNeedsLayout();
}

void VerticalItemsView::updateContentSize() {
  int n = columns();
  double rows = n > 0 ? std::ceil(static_cast<double>(_nItems) / n) : 0;
  setContentSize(Size{1.0, _cellSize.height * rows});
}

void VerticalItemsView::layoutSubviews() {
  ItemsView::layoutSubviews();
  updateContentSize();
  updateItems();
}

void VerticalItemsView::reloadData() {
  ItemsView::reloadData();
  updateContentSize();
  updateItems();
}

void VerticalItemsView::updateItems() {
  ItemsView::updateItems();
  int n = columns();
  if (n == 0) return;
  double w = _cellSize.width, h = _cellSize.height;
  double firstRow = std::max(0.0, std::floor(contentOffset().y / h));
  if (!(firstRow * n < _nItems)) return;
  auto first = static_cast<std::int32_t>(firstRow * n);
  int column = 0;
  double y = firstRow * h;
  for (std::int32_t i = first; i < _nItems; ++i) {
    Rect frame(column * w, y, w, h);
    if (!isVisible(frame)) break;
    // Beneath the strip's other children, so its scroll indicators stay on top.
    placeItem(i, frame, true);
    // A row holds whole cells only: the width left over after the last one stays empty.
    if (++column == n) {
      column = 0;
      y += h;
    }
  }
}
