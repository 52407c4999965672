#include "AppUI/HorizontalItemsView.h"

#include <algorithm>
#include <cmath>

#include "UI/ViewClassRegistry.h"

using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

// How many whole `unit`s fit in `length`; 0 for a unit that is not positive.
int wholeUnits(double length, double unit) {
  if (!(unit > 0) || !std::isfinite(length)) return 0;
  return static_cast<int>(std::clamp(std::floor(length / unit), -1e9, 1e9));
}

}  // namespace

void HorizontalItemsView::registerViewClass() {
  platform::ViewClassRegistry::registerClass(
      "HorizontalItemsView", [] { return std::make_shared<HorizontalItemsView>(); });
}

Size HorizontalItemsView::cellSize() const {
  return _pageControl ? frame().size : _cellSize;
}

void HorizontalItemsView::updateContentSize() {
  Size s = cellSize();
  // The width follows the count as well: a reload that only changes the count must not leave
  // the content too short to reach the new items, or too long.
  if (_contentSizeSet && s == _oldSize && _nItems == _oldCount) return;
  bool sizeChanged = !_contentSizeSet || s != _oldSize;
  _contentSizeSet = true;
  _oldSize = s;
  _oldCount = _nItems;
  double width = s.width * _nItems;
  setContentSize(Size{width == 0 ? 1.0 : width, 0});
  if (sizeChanged) {
    changePageAnimated(false);
    return;
  }
  // Fewer items: the page control and the offset come back inside the shorter content.
  if (_pageControl)
    _pageControl->setNumberOfPages(
        std::max(1, wholeUnits(contentSize().width, frame().size.width)));
  if (contentOffset().x > maximumContentOffset().x)
    setContentOffset(Point{maximumContentOffset().x, contentOffset().y});
}

void HorizontalItemsView::layoutSubviews() {
  ItemsView::layoutSubviews();
  updateContentSize();
  updateItems();
  updatePageControl();
}

void HorizontalItemsView::reloadData() {
  ItemsView::reloadData();
  updateContentSize();
  pageChanged();
  updatePageControl();
  updateItems();
}

void HorizontalItemsView::updateItems() {
  ItemsView::updateItems();
  Size s = cellSize();
  if (!(s.width > 0) || !(s.height > 0)) return;
  int first = std::max(0, wholeUnits(contentOffset().x, s.width));
  double x = first * s.width;
  for (std::int32_t i = first; i < _nItems; ++i, x += s.width) {
    Rect frame(x, 0, s.width, s.height);
    if (!isVisible(frame)) break;
    placeItem(i, frame, false);
  }
}

void HorizontalItemsView::changePageAnimated(bool animated) {
  Point offset{curPage() * cellSize().width, 0};
  setContentOffset(offset, animated);
  if (animated && isScrolling())
    _pageTarget = offset;
  else
    _pageTarget.reset();
}

void HorizontalItemsView::scrollToNextPage() {
  if (!_pageControl) return;
  int next = _pageControl->currentPage() + 1;
  if (next >= _pageControl->numberOfPages()) return;
  _pageControl->setCurrentPage(next);
  pageChanged();
}

void HorizontalItemsView::scrollToPrevPage() {
  if (!_pageControl || _pageControl->currentPage() < 1) return;
  _pageControl->setCurrentPage(_pageControl->currentPage() - 1);
  pageChanged();
}

bool HorizontalItemsView::isChangingPage() {
  if (!_pageTarget) return false;
  // Arrived, or stopped by a finger or another movement.
  if (!isScrolling() || isDecelerating() || std::abs(contentOffset().x - _pageTarget->x) < 0.5) {
    _pageTarget.reset();
    return false;
  }
  return true;
}

void HorizontalItemsView::updatePageControl() {
  if (!_pageControl) return;
  // The platform's animated scrolling steps on the run loop rather than as a layer animation,
  // so the strip's own page change counts as a running animation too.
  if (layer().hasRunningAnimations() || isChangingPage()) return;
  double width = frame().size.width;
  _pageControl->setNumberOfPages(std::max(1, wholeUnits(contentSize().width, width)));
  _pageControl->setCurrentPage(std::max(0, wholeUnits(contentOffset().x, width)));
  updatePageButtonsVisibility();
}

void HorizontalItemsView::updatePageButtonsVisibility() {
  double width = bounds().size.width;
  int pages = wholeUnits(contentSize().width, width);
  int last = pages < 1 ? 0 : pages - 1;
  int cur = std::max(0, wholeUnits(contentOffset().x, width));
  platform::UIView::animateWithDuration(0.2, [&] {
    if (_prevPageButton) _prevPageButton->setAlpha(cur != 0 ? 1 : 0);
    if (_nextPageButton) _nextPageButton->setAlpha(cur == last ? 0 : 1);
  });
}

void HorizontalItemsView::setPageControl(std::shared_ptr<platform::UIPageControl> pageControl) {
  if (pageControl == _pageControl) return;
  _pageControlLink.reset();
  _pageControl = std::move(pageControl);
  if (_pageControl) {
    _pageControlLink = std::make_shared<HorizontalItemsView*>(this);
    std::weak_ptr<HorizontalItemsView*> link = _pageControlLink;
    _pageControl->addTarget(
        [link](platform::UIControl&) {
          if (auto strip = link.lock()) (*strip)->pageChanged();
        },
        platform::UIControlEventValueChanged);
  }
  setPagingEnabled(true);
}

void HorizontalItemsView::setAlpha(double alpha) {
  ItemsView::setAlpha(alpha);
  if (alpha == 0) {
    if (_prevPageButton) _prevPageButton->setAlpha(0);
    if (_nextPageButton) _nextPageButton->setAlpha(0);
  } else {
    updatePageButtonsVisibility();
  }
}
