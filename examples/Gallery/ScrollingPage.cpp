#include "ScrollingPage.h"

using namespace platform;

void ScrollingPage::buildPage(UIView& page) {
  Size size = page.bounds().size;
  double listHeight = size.height - kHeadingHeight - 40;
  _list = std::make_shared<RecyclingListView>(Rect(0, kHeadingHeight, size.width, listHeight),
                                              kRowCount, kRowHeight);
  _list->setBackgroundColor(UIColor::fromString("#20262c"));
  _list->setDelegate(weakDelegate<UIScrollViewDelegate>());
  _list->setOnSelect([this](int) { updateCaption(); });
  page.addSubview(_list);
  _caption = Gallery::caption(Rect(10, kHeadingHeight + listHeight + 4, size.width - 20, 32), "");
  _caption->setNumberOfLines(2);
  page.addSubview(_caption);
  _list->layoutIfNeeded();
  updateCaption();
}

void ScrollingPage::updateCaption() {
  std::string tapped = _list->selectedRow() < 0
                           ? "Tap a row, drag to scroll"
                           : RecyclingListView::rowTitle(_list->selectedRow()) + " tapped";
  _caption->setText(tapped + "\n" + std::to_string(_list->rowViewCount()) + " row views for " +
                    std::to_string(_list->rowCount()) + " rows, from " +
                    RecyclingListView::rowTitle(_list->firstVisibleRow()));
}
