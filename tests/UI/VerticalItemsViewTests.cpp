#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "AppUI/VerticalItemsView.h"
#include "StripTestSupport.h"
#include "UI/InterfaceLoader.h"

using namespace platform;
using namespace platform::testing;
using namespace strip_testing;

namespace {

// A grid of 80 x 120 cells, 4 columns and 4 rows on screen, in the window's top left.
class GridTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    window->addSubview(grid);
    grid->setItemsViewDataSource(owner);
    grid->setItemsViewDelegate(owner);
    grid->reloadData();
  }
  std::set<int> shownIndexes() const {
    std::set<int> shown;
    for (const auto& cell : grid->displayedCells()) shown.insert(cell->cellIndex());
    return shown;
  }
  // The cells of whole rows `first` to `last`.
  static std::set<int> rows(int first, int last) {
    std::set<int> indexes;
    for (int i = first * 4; i < (last + 1) * 4; ++i) indexes.insert(i);
    return indexes;
  }
  std::shared_ptr<StripOwner> owner = std::make_shared<StripOwner>(1000, Size{80, 120});
  std::shared_ptr<VerticalItemsView> grid =
      std::make_shared<VerticalItemsView>(Rect(0, 0, 320, 480));
};

}  // namespace

TEST_F(GridTest, DraggingScrollsAndRecyclesTapsSelect) {
  EXPECT_EQ(grid->contentSize(), (Size{1, 250 * 120}));
  EXPECT_EQ(shownIndexes(), rows(0, 3));
  EXPECT_TRUE(cellsInPlace(*grid, 4));

  // A slow drag of 300 points: rows 2 to 6 show, from cells freed by rows 0 and 1.
  host->drag(Point{160, 420}, Point{160, 120}, 1.0, 30, false);
  host->advanceBy(0.5);
  // New cells go beneath the strip's other children: the scroll indicator stays on top.
  EXPECT_EQ(grid->subviews().back().get(), grid->verticalScrollIndicator());
  host->touchUp();
  EXPECT_EQ(grid->contentOffset().y, 300);
  EXPECT_EQ(shownIndexes(), rows(2, 6));
  EXPECT_TRUE(cellsInPlace(*grid, 4));
  EXPECT_EQ(owner->made, 20);

  // A flick coasts a long way; the cells on screen stay bounded by what shows.
  host->drag(Point{160, 450}, Point{160, 50}, 0.1, 5);
  host->advanceBy(5);
  EXPECT_GT(grid->contentOffset().y, 2000);
  EXPECT_LE(grid->displayedCells().size(), 20u);
  EXPECT_EQ(owner->made, 20);  // none made anew
  EXPECT_TRUE(cellsInPlace(*grid, 4));
  EXPECT_EQ(grid->subviews().size() - (grid->verticalScrollIndicator() ? 1 : 0),
            grid->displayedCells().size());

  // A tap selects the cell under it; the same tap again tells the delegate again.
  auto target = grid->findVisibleCellAtPoint(Point{200, grid->contentOffset().y + 200});
  ASSERT_NE(target, nullptr);
  int index = target->cellIndex();
  host->advanceBy(1);
  host->tapView(*target);
  host->tapView(*target);
  EXPECT_EQ(grid->selectedIndex(), index);
  EXPECT_TRUE(std::static_pointer_cast<MarkedCell>(target)->isSelected);
  EXPECT_EQ(owner->actions, (std::vector<std::int32_t>{index, index}));

  // A drag that starts on a cell scrolls and selects nothing; the selection survives.
  auto other = grid->findVisibleCellAtPoint(Point{40, grid->contentOffset().y + 60});
  ASSERT_NE(other, nullptr);
  host->drag(Point{40, 60}, Point{40, 260}, 0.5, 10);
  EXPECT_EQ(owner->actions.size(), 2u);
  EXPECT_EQ(grid->selectedIndex(), index);
  // The selected index's cell, placed again after scrolling, shows selected.
  grid->setContentOffset(Point{0, (index / 4) * 120.0});
  auto again = grid->findVisibleCellWithIndex(index);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(std::static_pointer_cast<MarkedCell>(again)->isSelected);
  EXPECT_EQ(std::count_if(
                grid->displayedCells().begin(), grid->displayedCells().end(),
                [](const auto& c) { return std::static_pointer_cast<MarkedCell>(c)->isSelected; }),
            1);
}

TEST_F(GridTest, GeometryOfRowsColumnsAndOffsets) {
  // 320 wide with 80-wide cells: 4 columns; 9 items make 3 rows.
  owner->count = 9;
  grid->reloadData();
  EXPECT_EQ(grid->columns(), 4);
  EXPECT_EQ(grid->contentSize(), (Size{1, 360}));
  EXPECT_EQ(shownIndexes(), (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

  // Scrolled by 1.5 rows, the first cell placed is the first of row 1.
  owner->count = 1000;
  grid->reloadData();
  grid->setContentOffset(Point{0, 180});
  EXPECT_EQ(*shownIndexes().begin(), 4);
  EXPECT_TRUE(cellsInPlace(*grid, 4));

  // A width that is not a multiple of the cells: 3 whole columns, the rest left empty.
  owner->size = Size{100, 120};
  grid->setContentOffset(Point{0, 0});
  grid->reloadData();
  EXPECT_EQ(grid->columns(), 3);
  EXPECT_TRUE(cellsInPlace(*grid, 3));
  EXPECT_EQ(grid->displayedCells().size(), 12u);

  // A count that grows keeps the cells on screen and lays out the new ones.
  owner->size = Size{80, 120};
  owner->count = 5;
  grid->reloadData();
  auto kept = grid->findVisibleCellWithIndex(0);
  owner->count = 7;
  grid->updateItemsCount();
  grid->layoutIfNeeded();
  EXPECT_EQ(grid->findVisibleCellWithIndex(0), kept);
  EXPECT_EQ(shownIndexes().size(), 7u);
  EXPECT_EQ(grid->contentSize().height, 240);

  // Narrower than one cell, or cells of no size: nothing placed, nothing divided by zero.
  for (Size size : {Size{400, 120}, Size{80, 0}, Size{0, 120}}) {
    owner->size = size;
    grid->reloadData();
    grid->setContentOffset(Point{0, 50});
    EXPECT_TRUE(grid->displayedCells().empty()) << size.width << "x" << size.height;
    EXPECT_EQ(grid->contentSize().height, 0);
  }
  // No data source or delegate: no items, no size.
  grid->setItemsViewDataSource({});
  grid->setItemsViewDelegate({});
  grid->reloadData();
  EXPECT_EQ(grid->itemsCount(), 0);
  EXPECT_TRUE(grid->displayedCells().empty());
}

TEST_F(GridTest, FreeCellsComeBackLastInFirstOut) {
  grid->clearData();
  size_t before = grid->freeCellCount();
  while (grid->dequeueReusableCell()) {
  }
  auto a = std::make_shared<MarkedCell>(), b = std::make_shared<MarkedCell>(),
       c = std::make_shared<MarkedCell>();
  for (const auto& cell : {a, b, c}) grid->queueResuableCell(cell);
  EXPECT_EQ(grid->dequeueReusableCell(), c);
  EXPECT_EQ(grid->dequeueReusableCell(), b);
  EXPECT_EQ(grid->dequeueReusableCell(), a);
  EXPECT_EQ(grid->dequeueReusableCell(), nullptr);
  EXPECT_EQ(before, 16u);  // clearing freed every cell; the selection is not touched

  // By class: exactly the class asked for, the first such cell.
  auto plain = std::make_shared<ItemCell>();
  grid->queueResuableCell(a);
  grid->queueResuableCell(plain);
  EXPECT_EQ(grid->dequeueReusableCellWithClass<ItemCell>(), plain);
  EXPECT_EQ(grid->dequeueReusableCellWithClass<ItemCell>(), nullptr);
  EXPECT_EQ(grid->dequeueReusableCellWithClass<MarkedCell>(), a);
}

TEST(VerticalItemsViewTest, InterfaceFilesCreateStripsThatReloadWhenLoaded) {
  VerticalItemsView::registerViewClass();
  auto loaded = InterfaceLoader::loadString(
      "<interface><VerticalItemsView frame=\"0 0 320 400\"/></interface>", "Grid.ui", nullptr);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  auto grid = std::dynamic_pointer_cast<VerticalItemsView>(loaded.topLevelViews.at(0));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->contentSize(), (Size{1, 0}));  // reloaded: set to the empty strip's size
}
