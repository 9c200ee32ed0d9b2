// The undo history, the grouped undo of Ctrl+Z and the UNDO button.
#include "sheet/undo_cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/errors.h"
#include "sheet/string_grid.h"

namespace {

class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.setRowCount(12);
    grid.setColCount(6);
    for (std::int32_t r = 1; r < grid.RowCount(); ++r) {
      for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
        grid.setCell(c, r, L"v" + std::to_wstring(c) + L"," + std::to_wstring(r));
      }
    }
    grid.OnSelectCell = [this](std::int32_t c, std::int32_t r, bool&) {
      moves.push_back(std::to_string(c) + "," + std::to_string(r));
    };
  }
  // Records the cell, then writes it, as every text-changing command does.
  void edit(std::int32_t c, std::int32_t r, const std::wstring& text) {
    history.Add(grid, c, r);
    grid.setCell(c, r, text);
  }
  std::vector<std::int32_t> levels() const {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 0; i < history.Count(); ++i) out.push_back(history.GetItem(i)->FUndoLevel);
    return out;
  }

  TStringGrid grid;
  TUndoCells history;
  std::vector<std::string> moves;
};

TEST_F(UndoTest, AddRecordsTheTextBeforeTheChange) {
  TUndoCell* const cell = history.Add(grid, 2, 3);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->FText, L"v2,3");
  EXPECT_EQ(cell->FX, 2);
  EXPECT_EQ(cell->FY, 3);
  EXPECT_EQ(cell->FGrid, &grid);
  EXPECT_EQ(cell->FUndoLevel, 0);
  EXPECT_EQ(history.Add(grid, 2, 3)->FUndoLevel, 1);
  EXPECT_EQ(history.Count(), 2);
  EXPECT_EQ(history.GetItem(0), cell);
  EXPECT_THROW(history.GetItem(2), TMorvaneError);
  EXPECT_THROW(history.GetItem(-1), TMorvaneError);
}

TEST_F(UndoTest, UndoRestoresNewestFirstAndMovesColumnThenRow) {
  grid.moveTo(1, 1);
  moves.clear();
  edit(3, 1, L"a");  // same row as the current cell
  edit(3, 5, L"b");  // same column as the one before
  history.Undo(grid);
  EXPECT_EQ(grid.Cell(3, 5), L"v3,5");
  EXPECT_EQ(grid.Cell(3, 1), L"a");
  EXPECT_EQ(moves, (std::vector<std::string>{"3,1", "3,5"}));  // the column first, then the row
  moves.clear();
  history.Undo(grid);
  EXPECT_EQ(grid.Cell(3, 1), L"v3,1");
  EXPECT_EQ(moves, (std::vector<std::string>{"3,1"}));  // only the row differed
  EXPECT_EQ(history.Count(), 0);
}

TEST_F(UndoTest, UndoOnEmptyHistoryChangesNothing) {
  grid.moveTo(2, 2);
  moves.clear();
  history.Undo(grid);
  EXPECT_TRUE(moves.empty());
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 2);
  history.undoGroup(grid);
  history.setGroupCount(5);
  history.undoGroupAgain(grid);
  EXPECT_TRUE(moves.empty());
}

TEST_F(UndoTest, NeverWrittenCellIsEmptiedAgain) {
  grid.setCell(4, 4, L"");
  edit(4, 4, L"new");
  history.Undo(grid);
  EXPECT_EQ(grid.Cell(4, 4), L"");
}

TEST_F(UndoTest, LimitOfThreeKeepsTheNewestThreeRenumbered) {
  history.setUndoLevels(3);
  for (int i = 1; i <= 4; ++i) history.Add(grid, i, 1);
  EXPECT_EQ(history.Count(), 3);
  EXPECT_EQ(levels(), (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(history.GetItem(0)->FX, 2);  // the oldest is gone
  EXPECT_EQ(history.GetItem(2)->FX, 4);
}

TEST_F(UndoTest, LoweringTheLimitTrimsOneEntryPerAdd) {
  for (int i = 1; i <= 5; ++i) history.Add(grid, 1, i);
  history.setUndoLevels(2);
  // The newest level (4) + 1 is beyond the limit: one trim, then the level is
  // the number that remain.
  EXPECT_EQ(history.Add(grid, 2, 1)->FUndoLevel, 4);
  EXPECT_EQ(history.Count(), 5);
  EXPECT_EQ(levels(), (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
}

TEST_F(UndoTest, SheetsKeepTheirOwnLevelsInOneList) {
  TStringGrid other;
  history.Add(grid, 1, 1);
  history.Add(other, 1, 1);
  history.Add(grid, 2, 2);
  history.Add(other, 2, 2);
  EXPECT_EQ(levels(), (std::vector<std::int32_t>{0, 0, 1, 1}));
  history.Undo(grid);  // the newest of `grid` is not the list's last
  ASSERT_EQ(history.Count(), 3);
  EXPECT_EQ(history.GetItem(2)->FGrid, &other);
  EXPECT_EQ(history.GetItem(1)->FGrid, &other);
  history.setUndoLevels(1);
  EXPECT_EQ(history.Add(other, 3, 3)->FUndoLevel, 1);  // trims other's oldest
  ASSERT_EQ(history.Count(), 3);
  EXPECT_EQ(history.GetItem(0)->FGrid, &grid);
  EXPECT_EQ(history.GetItem(1)->FX, 2);
  EXPECT_EQ(history.GetItem(1)->FUndoLevel, 0);
  history.Clear();
  EXPECT_EQ(history.Count(), 0);
  EXPECT_EQ(history.UndoLevels(), 1);
  EXPECT_EQ(history.Add(grid, 1, 1)->FUndoLevel, 0);
}

TEST_F(UndoTest, GroupedUndoRevertsTheWholeCommandThenSingleEntries) {
  edit(1, 1, L"before");
  for (int r = 1; r <= 10; ++r) edit(2, r, L"replaced");
  history.setGroupCount(10);
  history.undoGroup(grid);
  EXPECT_EQ(history.groupCount(), 0);
  for (int r = 1; r <= 10; ++r) EXPECT_EQ(grid.Cell(2, r), L"v2," + std::to_wstring(r));
  EXPECT_EQ(grid.Cell(1, 1), L"before");
  history.undoGroup(grid);
  EXPECT_EQ(grid.Cell(1, 1), L"v1,1");
  EXPECT_EQ(history.Count(), 0);
}

TEST_F(UndoTest, GroupedUndoAfterASingleEditCountsTheGroupFromTheNewest) {
  // Paste of 6 cells, then one more entry at the start of an edit: the first
  // Ctrl+Z reverts 6 entries (the edit and five pasted), the next the sixth.
  for (int r = 1; r <= 6; ++r) edit(3, r, L"pasted");
  history.setGroupCount(6);
  edit(5, 5, L"typed");
  history.undoGroup(grid);
  EXPECT_EQ(grid.Cell(5, 5), L"v5,5");
  EXPECT_EQ(grid.Cell(3, 2), L"v3,2");
  EXPECT_EQ(grid.Cell(3, 1), L"pasted");
  history.undoGroup(grid);
  EXPECT_EQ(grid.Cell(3, 1), L"v3,1");
}

TEST_F(UndoTest, NegativeGroupCountUndoesOneEntry) {
  edit(1, 1, L"a");
  edit(1, 2, L"b");
  history.setGroupCount(-3);
  history.undoGroup(grid);
  EXPECT_EQ(history.groupCount(), 0);
  EXPECT_EQ(history.Count(), 1);
}

TEST_F(UndoTest, UndoButtonRevertsAGroupPerPressAndKeepsTheCount) {
  for (int r = 1; r <= 10; ++r) edit(1, r, L"first");
  for (int r = 1; r <= 10; ++r) edit(2, r, L"second");
  history.setGroupCount(10);
  history.undoGroupAgain(grid);
  EXPECT_EQ(grid.Cell(2, 1), L"v2,1");
  EXPECT_EQ(grid.Cell(1, 10), L"first");
  history.undoGroupAgain(grid);
  EXPECT_EQ(history.groupCount(), 10);
  EXPECT_EQ(grid.Cell(1, 1), L"v1,1");
  EXPECT_EQ(history.Count(), 0);
}

TEST_F(UndoTest, UndoButtonWithoutAGroupDoesNothing) {
  edit(1, 1, L"typed");
  history.undoGroupAgain(grid);
  EXPECT_EQ(grid.Cell(1, 1), L"typed");
  EXPECT_EQ(history.Count(), 1);
}

TEST_F(UndoTest, CellsOutsideTheSheetNeitherFailNorStopAGroup) {
  // A paste that ran past the last column and row: entries of (6, 4) and
  // (2, 12) lie outside the 6 x 12 sheet.
  grid.moveTo(1, 1);
  edit(2, 4, L"p");
  history.Add(grid, 6, 4);
  history.Add(grid, 2, 12);
  edit(3, 4, L"q");
  moves.clear();
  history.setGroupCount(4);
  history.undoGroup(grid);
  EXPECT_EQ(history.Count(), 0);
  EXPECT_EQ(grid.Cell(2, 4), L"v2,4");
  EXPECT_EQ(grid.Cell(3, 4), L"v3,4");
  EXPECT_FALSE(grid.inSheet(6, 4));
  // Current cell moved only to cells of the sheet: (3,4) via column then row,
  // then (2,4).
  EXPECT_EQ(moves, (std::vector<std::string>{"3,1", "3,4", "2,4"}));
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 4);
}

TEST_F(UndoTest, HandlersRunWhileTheEntryIsAlreadyOutOfTheHistory) {
  edit(3, 3, L"x");
  std::vector<std::int32_t> seen;
  grid.OnSelectCell = [&](std::int32_t, std::int32_t, bool&) {
    seen.push_back(history.Count());
    history.Add(grid, 1, 1);  // a handler that records meanwhile
  };
  history.Undo(grid);
  EXPECT_EQ(seen, (std::vector<std::int32_t>{0, 1}));
  EXPECT_EQ(grid.Cell(3, 3), L"v3,3");
  EXPECT_EQ(history.Count(), 2);  // two moves, two entries: the history stays sound
  EXPECT_EQ(levels(), (std::vector<std::int32_t>{0, 1}));
}

// A group leaves the count at the entries recorded while it was open; each
// case starts from the count 7 an earlier command left.
struct TGroupCase {
  const char* name;
  std::int32_t atLeast;
  int recorded;
  bool fails;
  std::int32_t expected;
};

TEST_F(UndoTest, AGroupSetsTheCountToWhatItRecorded) {
  const TGroupCase cases[] = {
      {"three cells", 0, 3, false, 3},
      {"nothing to do", 0, 0, false, 0},
      {"nothing written, one to undo", 1, 0, false, 1},
      {"more written than the floor", 1, 4, false, 4},
      {"failed before writing", 1, 0, true, 7},
      {"failed part-way", 0, 2, true, 2},
  };
  for (const TGroupCase& c : cases) {
    history.setGroupCount(7);
    try {
      const TUndoCells::TGroup group = history.beginGroup(c.atLeast);
      for (int i = 0; i < c.recorded; ++i) history.Add(grid, 1, 1 + i);
      EXPECT_EQ(group.recorded(), c.recorded) << c.name;
      if (c.fails) throw TMorvaneError(L"clipboard");
    } catch (const TMorvaneError&) {
    }
    EXPECT_EQ(history.groupCount(), c.expected) << c.name;
  }
}

TEST_F(UndoTest, AGroupCountsItsEntriesThoughTheLimitDropsOldOnes) {
  history.setUndoLevels(3);
  {
    const TUndoCells::TGroup group = history.beginGroup();
    for (int r = 1; r <= 5; ++r) edit(4, r, L"w");
  }
  EXPECT_EQ(history.Count(), 3);
  EXPECT_EQ(history.groupCount(), 5) << "Ctrl+Z reverts what is left and stops at the empty history";
  history.undoGroup(grid);
  EXPECT_EQ(history.Count(), 0);
  EXPECT_EQ(grid.Cell(4, 3), L"v4,3");
  EXPECT_EQ(grid.Cell(4, 2), L"w");
}

}  // namespace
