#include <gtest/gtest.h>

#include "AppUI/HorizontalItemsView.h"
#include "StripTestSupport.h"
#include "UI/InterfaceLoader.h"

using namespace platform;
using namespace platform::testing;
using namespace strip_testing;

namespace {

// A strip of 320 x 200 pages below the window's top, with a page control and page buttons.
class PagedStripTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    for (const auto& view : std::vector<std::shared_ptr<UIView>>{strip, dots, prev, next})
      window->addSubview(view);
    strip->setItemsViewDataSource(owner);
    strip->setItemsViewDelegate(owner);
    strip->setPageControl(dots);
    strip->setPrevPageButton(prev);
    strip->setNextPageButton(next);
    strip->reloadData();
    host->advanceBy(0.3);
  }
  // Turns a page with `turn` and waits for the movement to end.
  void turnAndSettle(void (HorizontalItemsView::*turn)()) {
    (strip.get()->*turn)();
    host->advanceBy(0.5);
  }
  std::pair<double, double> buttonAlphas() const { return {prev->alpha(), next->alpha()}; }

  std::shared_ptr<StripOwner> owner = std::make_shared<StripOwner>(3, Size{100, 100});
  std::shared_ptr<HorizontalItemsView> strip =
      std::make_shared<HorizontalItemsView>(Rect(0, 100, 320, 200));
  std::shared_ptr<UIPageControl> dots = std::make_shared<UIPageControl>(Rect(0, 300, 320, 36));
  std::shared_ptr<UIButton> prev = std::make_shared<UIButton>(Rect(0, 340, 44, 44));
  std::shared_ptr<UIButton> next = std::make_shared<UIButton>(Rect(276, 340, 44, 44));
};

}  // namespace

TEST_F(PagedStripTest, PagesTurnByButtonsSwipesAndThePageControl) {
  // One page per cell, the strip's own size; the first page hides the previous button.
  EXPECT_TRUE(strip->isPagingEnabled());
  EXPECT_EQ(strip->contentSize().width, 960);
  EXPECT_EQ(dots->numberOfPages(), 3);
  EXPECT_EQ(strip->displayedCells().size(), 1u);
  EXPECT_EQ(strip->displayedCells()[0]->frame(), Rect(0, 0, 320, 200));
  EXPECT_EQ(buttonAlphas(), std::make_pair(0.0, 1.0));
  turnAndSettle(&HorizontalItemsView::scrollToPrevPage);
  EXPECT_EQ(strip->contentOffset().x, 0);

  strip->scrollToNextPage();
  host->advanceBy(0.1);
  // Half-way the page control already shows the page it was asked for.
  EXPECT_GT(strip->contentOffset().x, 0);
  EXPECT_LT(strip->contentOffset().x, 320);
  EXPECT_EQ(strip->curPage(), 1);
  host->advanceBy(0.4);
  EXPECT_EQ(strip->contentOffset().x, 320);
  EXPECT_EQ(buttonAlphas(), std::make_pair(1.0, 1.0));
  turnAndSettle(&HorizontalItemsView::scrollToNextPage);
  EXPECT_EQ(strip->curPage(), 2);
  EXPECT_EQ(buttonAlphas(), std::make_pair(1.0, 0.0));
  turnAndSettle(&HorizontalItemsView::scrollToNextPage);  // the last page: nothing
  EXPECT_EQ(strip->contentOffset().x, 640);

  // A swipe to the right settles a page back; the control and the buttons follow.
  host->drag(Point{60, 200}, Point{260, 200}, 0.25);
  host->advanceBy(1);
  EXPECT_EQ(strip->contentOffset().x, 320);
  EXPECT_EQ(strip->curPage(), 1);
  EXPECT_EQ(strip->findVisibleCellWithIndex(1)->frame(), Rect(320, 0, 320, 200));
  EXPECT_LE(strip->displayedCells().size(), 1u);

  // A tap on the control's right half turns the strip on.
  host->tap(Point{300, 318});
  host->advanceBy(1);
  EXPECT_EQ(strip->contentOffset().x, 640);

  // Invisible, the strip hides both buttons at once; visible again, the page decides.
  strip->setAlpha(0);
  EXPECT_EQ(buttonAlphas(), std::make_pair(0.0, 0.0));
  EXPECT_EQ(prev->layer().animationForKey("opacity"), nullptr);
  strip->setAlpha(1);
  host->advanceBy(0.3);
  EXPECT_EQ(buttonAlphas(), std::make_pair(1.0, 0.0));

  // A single page hides both buttons.
  owner->count = 1;
  strip->reloadData();
  host->advanceBy(0.5);
  EXPECT_EQ(dots->numberOfPages(), 1);
  EXPECT_EQ(buttonAlphas(), std::make_pair(0.0, 0.0));

  // A control replaced no longer turns the strip.
  owner->count = 3;
  strip->reloadData();
  strip->setPageControl(std::make_shared<UIPageControl>());
  dots->setCurrentPage(2);
  dots->sendActionsForControlEvents(UIControlEventValueChanged);
  host->advanceBy(0.5);
  EXPECT_EQ(strip->contentOffset().x, 0);
}

TEST_F(PagedStripTest, ContentWidthFollowsCountAndCellSizeWithoutPaging) {
  auto row = std::make_shared<HorizontalItemsView>(Rect(0, 0, 320, 100));
  window->addSubview(row);
  // No items: no cells, and a content width of 1.
  owner->count = 0;
  row->setItemsViewDataSource(owner);
  row->setItemsViewDelegate(owner);
  row->reloadData();
  EXPECT_EQ(row->contentSize().width, 1);
  EXPECT_TRUE(row->displayedCells().empty());

  // Cells of the delegate's size, only those that show.
  owner->count = 20;
  row->reloadData();
  EXPECT_EQ(row->contentSize().width, 2000);
  EXPECT_EQ(row->displayedCells().size(), 4u);
  EXPECT_TRUE(cellsInPlace(*row, 20));
  row->setContentOffset(Point{1750, 0});
  EXPECT_EQ(row->displayedCells().size(), 3u);
  EXPECT_TRUE(cellsInPlace(*row, 20));

  // A reload that changes only the count gives the width of the new count.
  owner->count = 8;
  row->reloadData();
  EXPECT_EQ(row->contentSize().width, 800);
  host->advanceBy(0.5);
  EXPECT_LE(row->contentOffset().x, row->maximumContentOffset().x);

  // No delegate: cells of no size, nothing placed.
  row->setItemsViewDelegate({});
  row->reloadData();
  EXPECT_EQ(row->contentSize().width, 1);
  EXPECT_TRUE(row->displayedCells().empty());

  HorizontalItemsView::registerViewClass();
  auto loaded = InterfaceLoader::loadString(
      "<interface><HorizontalItemsView frame=\"0 0 320 90\"/></interface>", "Row.ui", nullptr);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  EXPECT_EQ(std::dynamic_pointer_cast<HorizontalItemsView>(loaded.topLevelViews.at(0))
                ->contentSize()
                .width,
            1);  // reloaded once loaded
}
