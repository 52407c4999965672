#include "PagedStripPage.h"

using namespace platform;

namespace {

// A rounded panel of one colour with its page's number and colour name.
class PanelCell : public ItemCell {
 public:
  PanelCell() {
    _panel->layer().setCornerRadius(12);
    _number->setFont(UIFont::boldSystemFontOfSize(90));
    for (const auto& view : {_panel, std::static_pointer_cast<UIView>(_number),
                             std::static_pointer_cast<UIView>(_name)})
      addSubview(view);
  }
  void show(int page) {
    static const char* palette[PagedStripPage::kPages] = {"#c03040", "#e08020", "#d0b020",
                                                          "#30a050", "#2060c0", "#8040b0"};
    static const char* names[PagedStripPage::kPages] = {
        "_Loc_GalleryColourRed",   "_Loc_GalleryColourOrange", "_Loc_GalleryColourYellow",
        "_Loc_GalleryColourGreen", "_Loc_GalleryColourBlue",   "_Loc_GalleryColourViolet"};
    _panel->setBackgroundColor(UIColor::fromString(palette[page % PagedStripPage::kPages]));
    _number->setText(std::to_string(page + 1));
    _name->setText(Gallery::text(names[page % PagedStripPage::kPages]));
    setNeedsLayout();
  }
  void layoutSubviews() override {
    Size size = bounds().size;
    _panel->setFrame(Rect(6, 0, size.width - 12, size.height));
    _number->setFrame(Rect(6, size.height / 2 - 70, size.width - 12, 100));
    _name->setFrame(Rect(6, size.height / 2 + 40, size.width - 12, 30));
  }

 private:
  std::shared_ptr<UIView> _panel = std::make_shared<UIView>();
  std::shared_ptr<UILabel> _number = Gallery::caption(Rect(), "", 90);
  std::shared_ptr<UILabel> _name = Gallery::caption(Rect(), "", 22);
};

}  // namespace

std::shared_ptr<ItemCell> PagedStripPage::cellForItemsView(ItemsView& strip, std::int32_t index) {
  auto cell = strip.dequeueReusableCellWithClass<PanelCell>();
  if (!cell) cell = std::make_shared<PanelCell>();
  cell->show(index);
  return cell;
}

void PagedStripPage::buildPage(UIView& page) {
  Size size = page.bounds().size;
  Rect frame(20, kHeadingHeight + 12, size.width - 40, size.height - kHeadingHeight - 110);
  _strip = std::make_shared<HorizontalItemsView>(frame);
  _strip->setShowsHorizontalScrollIndicator(false);
  page.addSubview(_strip);

  double row = frame.maxY() + 10;
  _pageControl = std::make_shared<UIPageControl>(Rect(80, row, size.width - 160, 36));
  page.addSubview(_pageControl);
  // The page buttons belong to the page's layout; the strip only fades them.
  _prev = Gallery::button(Rect(10, row + 2, 64, 32), Gallery::text("_Loc_GalleryPrev"),
                          [this] { _strip->scrollToPrevPage(); });
  _next = Gallery::button(Rect(size.width - 74, row + 2, 64, 32), Gallery::text("_Loc_GalleryNext"),
                          [this] { _strip->scrollToNextPage(); });
  page.addSubview(_prev);
  page.addSubview(_next);
  page.addSubview(Gallery::caption(Rect(10, row + 42, size.width - 20, 20),
                                   Gallery::text("_Loc_GalleryStripHint")));

  _strip->setPageControl(_pageControl);
  _strip->setPrevPageButton(_prev);
  _strip->setNextPageButton(_next);
  _strip->setItemsViewDataSource(weakDelegate<ItemsViewDataSource>());
  _strip->setItemsViewDelegate(weakDelegate<ItemsViewDelegate>());
  _strip->reloadData();
}
