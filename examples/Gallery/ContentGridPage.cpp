#include "ContentGridPage.h"

#include "AppUI/ImageItemCell.h"

using namespace platform;

namespace {

// A preview on a dark tile, outlined while selected.
class PreviewCell : public ImageItemCell {
 public:
  PreviewCell() {
    setBackgroundColor(UIColor::fromString("#20262c"));
    layer().setBorderColor(*UIColor::fromString("#ffcc00"));
  }
  void setSelected(bool selected, bool) override { layer().setBorderWidth(selected ? 3 : 0); }
};

}  // namespace

void ContentGridPage::buildPage(UIView& page) {
  _catalog = std::make_unique<SamplePackCatalog>(_packDirectory);
  Size size = page.bounds().size;
  double height = size.height - kHeadingHeight - 40;
  _grid = std::make_shared<VerticalItemsView>(Rect(0, kHeadingHeight, size.width, height));
  _grid->setDelegate(weakDelegate<UIScrollViewDelegate>());
  _grid->setItemsViewDataSource(weakDelegate<ItemsViewDataSource>());
  _grid->setItemsViewDelegate(weakDelegate<ItemsViewDelegate>());
  page.addSubview(_grid);
  _caption = Gallery::caption(Rect(10, kHeadingHeight + height + 4, size.width - 20, 32), "");
  _caption->setNumberOfLines(2);
  page.addSubview(_caption);
  _grid->reloadData();
  updateCaption();
}

std::int32_t ContentGridPage::itemsCountInItemsView(ItemsView&) {
  return _catalog ? static_cast<std::int32_t>(_catalog->items().size()) : 0;
}

std::shared_ptr<ItemCell> ContentGridPage::cellForItemsView(ItemsView& strip, std::int32_t index) {
  auto cell = strip.dequeueReusableCellWithClass<PreviewCell>();
  if (!cell) {
    cell = std::make_shared<PreviewCell>();
    ++_made;
  }
  cell->setData(_catalog->items().at(index));
  return cell;
}

void ContentGridPage::itemActionInItemsView(ItemsView&, std::int32_t) {
  ++_actions;
  updateCaption();
}

bool ContentGridPage::previewsShown() const {
  for (const auto& cell : _grid->displayedCells())
    if (!std::static_pointer_cast<ImageItemCell>(cell)->imgView()->image()) return false;
  return true;
}

void ContentGridPage::updateCaption() {
  if (!_catalog || _catalog->items().empty()) {
    _caption->setText(_catalog ? _catalog->problem() : "");
    return;
  }
  int selected = _grid->selectedIndex();
  std::string chosen = selected < 0 ? Gallery::text("_Loc_GalleryGridHint")
                                    : Gallery::text("_Loc_GalleryGridChosen",
                                                    {_catalog->items().at(selected)->name()});
  _caption->setText(
      chosen + "\n" +
      Gallery::text("_Loc_GalleryGridCells",
                    {std::to_string(_grid->displayedCells().size()),
                     std::to_string(_catalog->items().size()), std::to_string(_made)}));
}
