#include "PagedStripPage.h"

#include <algorithm>
#include <cmath>

using namespace platform;

void PagedStripPage::buildPage(UIView& page) {
  static const char* palette[kPages] = {"#c03040", "#e08020", "#d0b020",
                                        "#30a050", "#2060c0", "#8040b0"};
  static const char* names[kPages] = {"Red", "Orange", "Yellow", "Green", "Blue", "Violet"};
  Size size = page.bounds().size;
  Rect frame(20, kHeadingHeight + 12, size.width - 40, size.height - kHeadingHeight - 110);
  _strip = std::make_shared<UIScrollView>(frame);
  _strip->setPagingEnabled(true);
  _strip->setShowsHorizontalScrollIndicator(false);
  _strip->setContentSize(Size{frame.size.width * kPages, frame.size.height});
  for (int i = 0; i < kPages; ++i) {
    auto panel = std::make_shared<UIView>(
        Rect(i * frame.size.width + 6, 0, frame.size.width - 12, frame.size.height));
    panel->setBackgroundColor(UIColor::fromString(palette[i]));
    panel->layer().setCornerRadius(12);
    auto number = Gallery::caption(Rect(0, frame.size.height / 2 - 70, frame.size.width - 12, 100),
                                   std::to_string(i + 1), 90);
    number->setFont(UIFont::boldSystemFontOfSize(90));
    panel->addSubview(number);
    panel->addSubview(Gallery::caption(
        Rect(0, frame.size.height / 2 + 40, frame.size.width - 12, 30), names[i], 22));
    _strip->addSubview(panel);
  }
  _strip->setDelegate(weakDelegate<UIScrollViewDelegate>());
  page.addSubview(_strip);

  _pageControl = std::make_shared<UIPageControl>(Rect(60, frame.maxY() + 10, size.width - 120, 36));
  _pageControl->setNumberOfPages(kPages);
  _pageControl->addTarget(
      [this](UIControl&) {
        double width = _strip->bounds().size.width;
        _strip->setContentOffset(Point{_pageControl->currentPage() * width, 0}, true);
      },
      UIControlEventValueChanged);
  page.addSubview(_pageControl);
  page.addSubview(Gallery::caption(Rect(10, frame.maxY() + 52, size.width - 20, 20),
                                   "Swipe the strip, or tap either side of the dots"));
}

void PagedStripPage::scrollViewDidScroll(UIScrollView& scrollView) {
  // While the strip eases to a page the page control chose, its dot already shows that page.
  if (!scrollView.isDragging() && !scrollView.isDecelerating() && scrollView.isScrolling()) return;
  double width = scrollView.bounds().size.width;
  if (width <= 0) return;
  _pageControl->setCurrentPage(static_cast<int>(std::lround(scrollView.contentOffset().x / width)));
}
