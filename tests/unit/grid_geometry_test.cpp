// Where cells lie with fixed rows and columns, scroll offsets and grid lines.
#include <gtest/gtest.h>

#include "sheet/grid_geometry.h"

namespace {

// 10 columns of 40 px and 20 rows of 20 px, each followed by a 1 px line;
// column 0 is 30 px wide.
class GridGeometry : public ::testing::Test {
 protected:
  GridGeometry() {
    grid.setColCount(10);
    grid.setRowCount(20);
    grid.setColWidth(0, 30);
  }
  TStringGrid grid;
};

TEST_F(GridGeometry, EdgesCountFixedCellsThenScrollingOnesFromTheScrollPosition) {
  EXPECT_EQ(columnLeft(grid, 0), 0);
  EXPECT_EQ(columnLeft(grid, 1), 31);
  EXPECT_EQ(columnLeft(grid, 3), 31 + 2 * 41);
  EXPECT_EQ(rowTop(grid, 2), 42);
  grid.setLeftCol(4);
  grid.setTopRow(5);
  EXPECT_EQ(columnLeft(grid, 0), 0) << "fixed columns do not scroll";
  EXPECT_EQ(columnLeft(grid, 3), std::nullopt) << "scrolled out of view";
  EXPECT_EQ(columnLeft(grid, 4), 31);
  EXPECT_EQ(rowTop(grid, 4), std::nullopt);
  EXPECT_EQ(rowTop(grid, 7), 21 + 2 * 21);
  EXPECT_EQ(columnLeft(grid, 10), std::nullopt);
  EXPECT_EQ(cellRect(grid, 5, 6), (TCellRect{72, 42, 112, 62}));
}

TEST_F(GridGeometry, HitTestWithScrollOffsetsAndFixedRowsAndColumns) {
  grid.setFixedRows(2);
  grid.setLeftCol(3);
  grid.setTopRow(6);
  EXPECT_EQ(mouseCell(grid, 5, 5), (TGridCoord{0, 0}));
  EXPECT_EQ(mouseCell(grid, 30, 20), (TGridCoord{0, 0})) << "a cell's lines belong to it";
  EXPECT_EQ(mouseCell(grid, 31, 21), (TGridCoord{3, 1}));
  EXPECT_EQ(mouseCell(grid, 75, 45), (TGridCoord{4, 6}));
  EXPECT_EQ(mouseCell(grid, 75, 65), (TGridCoord{4, 7}));
  EXPECT_EQ(mouseCell(grid, -1, 65), (TGridCoord{-1, 7}));
  EXPECT_EQ(mouseCell(grid, 31 + 7 * 41, 65), (TGridCoord{-1, 7})) << "right of the last column";
  EXPECT_EQ(mouseCell(grid, 40, 42 + 14 * 21), (TGridCoord{3, -1})) << "below the last row";
  EXPECT_EQ(mouseCell(grid, 40, 42 + 14 * 21 - 1), (TGridCoord{3, 19}));
}

TEST_F(GridGeometry, VisibleRangeAndWholeCells) {
  grid.setTopRow(3);
  // 31 + 41 * 3 = 154: columns 1..3 whole, column 4 partly.
  const TVisibleRange r = visibleRange(grid, 170, 21 + 21 * 4 + 5);
  EXPECT_EQ(r.firstCol, 1);
  EXPECT_EQ(r.lastCol, 4);
  EXPECT_EQ(r.wholeCols, 3);
  EXPECT_EQ(r.firstRow, 3);
  EXPECT_EQ(r.lastRow, 7);
  EXPECT_EQ(r.wholeRows, 4);
  const TVisibleRange tiny = visibleRange(grid, 40, 10);
  EXPECT_EQ(tiny.lastCol, 1);
  EXPECT_EQ(tiny.wholeCols, 1) << "a column that shows is one to page by";
  EXPECT_LT(tiny.lastRow, tiny.firstRow) << "only the header row shows";
  EXPECT_EQ(tiny.wholeRows, 0);
}

TEST_F(GridGeometry, TheLastRowAndColumnEndTheScrollRange) {
  // Room below the header for 5 whole rows.
  EXPECT_EQ(maxTopRow(grid, 21 + 5 * 21), 15);
  EXPECT_EQ(maxTopRow(grid, 21 + 5 * 21 - 2), 16);
  EXPECT_EQ(maxTopRow(grid, 1000), 1) << "everything fits: no scrolling";
  EXPECT_EQ(maxLeftCol(grid, 31 + 3 * 41), 7);
}

TEST_F(GridGeometry, ScrollToShowMovesTheLeastNeeded) {
  const int w = 31 + 3 * 41;
  const int h = 21 + 5 * 21;
  EXPECT_EQ(scrollToShow(grid, w, h, 2, 3), (TGridCoord{1, 1}));
  EXPECT_EQ(scrollToShow(grid, w, h, 5, 9), (TGridCoord{3, 5}));
  grid.setLeftCol(6);
  grid.setTopRow(10);
  EXPECT_EQ(scrollToShow(grid, w, h, 2, 3), (TGridCoord{2, 3}));
  EXPECT_EQ(scrollToShow(grid, w, h, 0, 0), (TGridCoord{6, 10})) << "headers are always in view";
}

TEST_F(GridGeometry, OnlyLinesBetweenHeaderCellsResize) {
  EXPECT_EQ(columnSizingAt(grid, 30, 10), 0);
  EXPECT_EQ(columnSizingAt(grid, 69, 10), 1);
  EXPECT_EQ(columnSizingAt(grid, 73, 10), 1);
  EXPECT_EQ(columnSizingAt(grid, 74, 10), -1);
  EXPECT_EQ(columnSizingAt(grid, 72, 30), -1) << "not in the header row";
  EXPECT_EQ(rowSizingAt(grid, 10, 41), 1);
  EXPECT_EQ(rowSizingAt(grid, 50, 41), -1) << "not in the header column";
  grid.setLeftCol(5);
  EXPECT_EQ(columnSizingAt(grid, 72, 10), 5);
}

}  // namespace
