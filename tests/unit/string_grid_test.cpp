#include <gtest/gtest.h>

#include <stdexcept>

#include "sheet/string_grid.h"

TEST(StringGrid, StartsWithFiveByFiveAndOneFixedRowAndColumn) {
  TStringGrid g;
  EXPECT_EQ(g.RowCount(), 5);
  EXPECT_EQ(g.ColCount(), 5);
  EXPECT_EQ(g.FixedRows(), 1);
  EXPECT_EQ(g.FixedCols(), 1);
  EXPECT_EQ(g.ColWidth(3), 40);
  EXPECT_EQ(g.RowHeight(3), 20);
}

TEST(StringGrid, ResizeKeepsRemainingCellsWidthsAndHeights) {
  TStringGrid g;
  g.setCell(2, 3, L"x");
  g.setTag(2, 3, 7);
  g.setColWidth(2, 99);
  g.setRowCount(100);
  g.setColCount(3);
  EXPECT_EQ(g.Cell(2, 3), L"x");
  EXPECT_EQ(g.Tag(2, 3), 7);
  EXPECT_EQ(g.ColWidth(2), 99);
  EXPECT_EQ(g.RowHeight(99), 20);
  g.setColCount(2);
  g.setColCount(3);
  EXPECT_EQ(g.Cell(2, 3), L"");
  EXPECT_EQ(g.ColWidth(2), 40);
}

TEST(StringGrid, CellsOutsideTheSheetReadEmptyAndIgnoreWrites) {
  TStringGrid g;
  g.setCell(9, 1, L"lost");
  g.setCell(-1, 1, L"lost");
  EXPECT_EQ(g.Cell(9, 1), L"");
  EXPECT_EQ(g.Tag(-1, 0), 0);
}

TEST(StringGrid, MovesRunSelectThenClickAndSetSelectionRunsNeither) {
  TStringGrid g;
  std::vector<std::string> events;
  g.OnSelectCell = [&](std::int32_t c, std::int32_t r, bool&) {
    events.push_back("select " + std::to_string(c) + "," + std::to_string(r));
  };
  g.OnClick = [&] { events.push_back("click"); };
  g.setCol(3);
  g.setRow(2);
  g.setSelection({1, 1}, {4, 4});
  EXPECT_EQ(events, (std::vector<std::string>{"select 3,1", "click", "select 3,2", "click"}));
  EXPECT_EQ(g.Selection(), (TGridRect{1, 1, 4, 4}));
  g.setSelection({4, 4}, {2, 1});
  EXPECT_EQ(g.Selection(), (TGridRect{2, 1, 4, 4}));
}

TEST(StringGrid, ChangesWhileUpdatingAreAnnouncedOnceAtTheEnd) {
  TStringGrid g;
  int changes = 0;
  g.OnChange = [&] { ++changes; };
  {
    const TStringGrid::TUpdateScope outer(g);
    {
      const TStringGrid::TUpdateScope inner(g);
      g.setCell(1, 1, L"a");
      g.setCell(1, 2, L"b");
    }
    EXPECT_EQ(changes, 0);
  }
  EXPECT_EQ(changes, 1);
  // A scope left by an exception still announces what changed.
  try {
    const TStringGrid::TUpdateScope updating(g);
    g.setCell(1, 3, L"c");
    throw std::runtime_error("fill failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(g.updating());
}

TEST(StringGrid, TaggedCellsPerColumnFollowEveryTagWrite) {
  TStringGrid g;
  g.setColCount(4);
  g.setRowCount(4);
  g.setTag(2, 0, 7);  // the header row does not count
  EXPECT_EQ(g.taggedCells(2), 0);
  g.setTag(2, 1, 7);
  g.setTag(2, 3, 8);
  g.setTag(2, 3, 9);  // overwritten, still one cell
  g.setTag(1, 2, 5);
  EXPECT_EQ(g.taggedCells(2), 2);
  EXPECT_EQ(g.taggedCells(1), 1);
  g.setTag(1, 2, 0);
  g.setTag(1, 2, 0);
  EXPECT_EQ(g.taggedCells(1), 0);
  g.setTag(9, 9, 1);  // outside the sheet: dropped
  EXPECT_EQ(g.taggedCells(9), 0);
  // Rows and columns that go take their tags with them; new ones bring none.
  g.setRowCount(3);
  EXPECT_EQ(g.taggedCells(2), 1);
  g.setColCount(2);
  g.setColCount(4);
  EXPECT_EQ(g.taggedCells(2), 0);
  g.setRowCount(6);
  EXPECT_EQ(g.taggedCells(2), 0);
}
