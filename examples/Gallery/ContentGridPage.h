#pragma once

#include <memory>
#include <string>

#include "AppUI/VerticalItemsView.h"
#include "GalleryPage.h"
#include "SamplePackCatalog.h"

// The catalogue grid as the editor shows it: the sample pack's previews in a VerticalItemsView
// of 80 x 120 image cells that recycles its cells, with a caption saying which item was chosen
// and how many cells exist.
class ContentGridPage : public GalleryPage,
                        public ItemsViewDataSource,
                        public ItemsViewDelegate,
                        public platform::UIScrollViewDelegate {
 public:
  explicit ContentGridPage(std::string packDirectory)
      : GalleryPage("content-grid", Gallery::text("_Loc_GalleryContentGridTitle")),
        _packDirectory(std::move(packDirectory)) {}

  static constexpr platform::Size kCellSize{80, 120};

  VerticalItemsView& grid() const { return *_grid; }
  // Cells made for the grid so far, and the selections it reported.
  int cellsMade() const { return _made; }
  int actions() const { return _actions; }
  // Whether every cell on screen shows its preview.
  bool previewsShown() const;
  bool isComplete() const override { return _catalog && !_catalog->items().empty(); }

  std::int32_t itemsCountInItemsView(ItemsView&) override;
  std::shared_ptr<ItemCell> cellForItemsView(ItemsView& strip, std::int32_t index) override;
  platform::Size cellSizeInItemsView(ItemsView&) override { return kCellSize; }
  void itemActionInItemsView(ItemsView&, std::int32_t index) override;
  void scrollViewDidScroll(platform::UIScrollView&) override { updateCaption(); }

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  void updateCaption();

  std::string _packDirectory;
  std::unique_ptr<SamplePackCatalog> _catalog;
  std::shared_ptr<VerticalItemsView> _grid;
  std::shared_ptr<platform::UILabel> _caption;
  int _made = 0;
  int _actions = 0;
};
