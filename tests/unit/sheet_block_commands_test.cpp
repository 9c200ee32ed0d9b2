// Paste, cut and Delete over the sheet: the paste rules on a table of cases,
// the keys' and the menu's group counts, logs and clipboard failures, and
// the undo of each.
#include <gtest/gtest.h>

#include <map>

#include "sheet/block_commands.h"
#include "sheet/grid_keys.h"
#include "sheet_form_fixture.h"

namespace {

using TCells = std::map<std::pair<int, int>, std::wstring>;

// The non-empty cells of the sheet.
TCells written(const TStringGrid& grid) {
  TCells cells;
  for (int r = 0; r < grid.RowCount(); ++r) {
    for (int c = 0; c < grid.ColCount(); ++c) {
      if (!grid.Cell(c, r).empty()) cells[{c, r}] = grid.Cell(c, r);
    }
  }
  return cells;
}

struct TPasteCase {
  const char* name;
  TGridRect selection;
  std::wstring text;
  TCells expected;
};

TEST(PasteText, FollowsTheBlockRules) {
  // A sheet of 5 columns (0..4) and 9 rows (0..8).
  const TPasteCase cases[] = {
      {"x TAB y / z into rows 3..7 repeats whole blocks downwards",
       {2, 3, 2, 7},
       L"x\ty\r\nz\r\n",
       {{{2, 3}, L"x"}, {{2, 5}, L"x"}, {{2, 7}, L"x"}, {{3, 3}, L"y"}, {{3, 5}, L"y"}, {{3, 7}, L"y"},
        {{2, 4}, L"z"}, {{2, 6}, L"z"}}},
      {"3 rows into 7: 1-3, 1-3, then row 1 once more",
       {1, 1, 1, 7},
       L"a\r\nb\r\nc\r\n",
       {{{1, 1}, L"a"}, {{1, 2}, L"b"}, {{1, 3}, L"c"}, {{1, 4}, L"a"}, {{1, 5}, L"b"}, {{1, 6}, L"c"},
        {{1, 7}, L"a"}}},
      {"3 columns into a selection 1 wide: never cut, never repeated sideways",
       {1, 1, 1, 2},
       L"p\tq\tr\r\n",
       {{{1, 1}, L"p"}, {{2, 1}, L"q"}, {{3, 1}, L"r"}, {{1, 2}, L"p"}, {{2, 2}, L"q"}, {{3, 2}, L"r"}}},
      {"past the last column and row: the visible part only",
       {3, 7, 3, 7},
       L"a\tb\tc\r\nd\te\r\nf\r\n",
       {{{3, 7}, L"a"}, {{4, 7}, L"b"}, {{3, 8}, L"d"}, {{4, 8}, L"e"}}},
      {"text after the last CR LF is the last line; lone LFs do not cut",
       {1, 1, 1, 1},
       L"a\nb\tc\r\nrest\tmore",
       {{{1, 1}, L"a\nb"}, {{2, 1}, L"c"}, {{1, 2}, L"rest"}, {{2, 2}, L"more"}}},
      {"a word without a line break fills the selection", {1, 1, 1, 3}, L"value",
       {{{1, 1}, L"value"}, {{1, 2}, L"value"}, {{1, 3}, L"value"}}},
      {"a lone CR is no line break", {1, 1, 1, 1}, L"x\r", {{{1, 1}, L"x\r"}}},
      {"empty lines and a trailing TAB give empty fields", {1, 1, 1, 1}, L"\r\nq\t\r\n", {{{1, 2}, L"q"}}},
      {"Excel's cell with a line break, in quotes, is one cell", {1, 1, 1, 1}, L"\"a\nb\"\tc\r\nd\r\n",
       {{{1, 1}, L"a\nb"}, {{2, 1}, L"c"}, {{1, 2}, L"d"}}},
      {"in quotes: doubled quotes are one, a CR LF is a break", {1, 1, 1, 1}, L"\"x\"\"y\r\nz\"\r\nw",
       {{{1, 1}, L"x\"y\nz"}, {{1, 2}, L"w"}}},
      {"the quoted cell last, without a CR LF", {1, 1, 1, 1}, L"x\t\"1\n2\"", {{{1, 1}, L"x"}, {{2, 1}, L"1\n2"}}},
      {"quotes around a text without a break stay", {1, 1, 1, 1}, L"\"q\"\t\"r\"\r\n",
       {{{1, 1}, L"\"q\""}, {{2, 1}, L"\"r\""}}},
      {"an unclosed quote is a character", {1, 1, 1, 1}, L"\"a\r\nb", {{{1, 1}, L"\"a"}, {{1, 2}, L"b"}}},
      {"a closing quote not at the field's end is a character", {1, 1, 1, 1}, L"\"a\nb\"c\r\n",
       {{{1, 1}, L"\"a\nb\"c"}}},
  };
  for (const TPasteCase& c : cases) {
    TStringGrid grid;
    grid.setRowCount(9);
    grid.setCell(2, 1, L"old");  // overwritten by an empty field in the trailing-TAB case
    grid.setCell(2, 2, L"old");
    TUndoCells undo;
    const std::int32_t count = pasteText(grid, undo, c.selection, c.text);
    SCOPED_TRACE(c.name);
    // Every written cell is recorded once, and nothing beyond the sheet.
    EXPECT_EQ(count, undo.Count());
    for (int i = 0; i < undo.Count(); ++i) {
      EXPECT_TRUE(grid.inSheet(undo.GetItem(i)->FX, undo.GetItem(i)->FY));
    }
    EXPECT_EQ(grid.RowCount(), 9);
    EXPECT_EQ(grid.ColCount(), 5);
    for (const auto& [cell, text] : c.expected) {
      EXPECT_EQ(grid.Cell(cell.first, cell.second), text) << cell.first << "," << cell.second;
    }
    // Every recorded cell, undone newest first, gives the sheet back.
    for (int i = 0; i < count; ++i) undo.Undo(grid);
    EXPECT_EQ(grid.Cell(2, 1), L"old");
    EXPECT_EQ(grid.Cell(2, 2), L"old");
    EXPECT_EQ(written(grid).size(), 2u);
  }
}

class BlockKeys : public TSheetFormFixture, public ::testing::Test {
 protected:
  BlockKeys() {
    grid.setColCount(5);
    grid.setRowCount(6);
    for (int r = 1; r < 6; ++r) {
      for (int c = 1; c < 5; ++c) grid.setCell(c, r, std::to_wstring(c) + L"," + std::to_wstring(r));
    }
    before = written(grid);
    form.FUndoCells->setGroupCount(7);
  }
  TCells before;
};

TEST_F(BlockKeys, DeleteOnOneCellIsLeftToTheEditor) {
  grid.setSelection({2, 2}, {2, 2});
  EXPECT_EQ(pressKey(gridKey::kDelete), gridKey::kDelete);
  EXPECT_EQ(form.Memo1.Lines(), std::vector<std::wstring>{L"[DELETE]"});
  EXPECT_EQ(written(grid), before);
  EXPECT_EQ(form.FUndoCells->groupCount(), 7);
}

TEST_F(BlockKeys, DeleteEmptiesTheBlockAndOneCtrlZBringsItBack) {
  grid.setSelection({1, 2}, {2, 4});
  EXPECT_EQ(pressKey(gridKey::kDelete, {.shift = true}), 0);
  EXPECT_EQ(form.FUndoCells->groupCount(), 6);
  EXPECT_EQ(form.FUndoCells->Count(), 6);
  EXPECT_EQ(written(grid).size(), before.size() - 6);
  EXPECT_EQ(grid.Cell(2, 4), L"");
  pressKey(gridKey::kZ, {.ctrl = true});
  EXPECT_EQ(written(grid), before);
  EXPECT_EQ((std::pair{grid.Col(), grid.Row()}), (std::pair{1, 2})) << "undo ends on the first cell";
}

TEST_F(BlockKeys, CtrlXLogsAsCopyAndLeavesTheCellsWhenTheClipboardStaysLocked) {
  grid.setSelection({3, 1}, {4, 1});
  EXPECT_EQ(pressKey(gridKey::kX, {.ctrl = true}), 0);
  EXPECT_EQ(desktop.clipboard, L"3,1\t4,1\r\n");
  EXPECT_EQ(form.Memo1.Lines(), std::vector<std::wstring>{L"[CTRL]+[C]"});
  EXPECT_EQ(form.FUndoCells->groupCount(), 2);

  grid.setSelection({1, 3}, {1, 3});
  desktop.clipboardFailures = 3;
  desktop.calls.clear();
  pressKey(gridKey::kX, {.ctrl = true});
  EXPECT_EQ(desktop.countOf("setClipboardText"), 3);
  EXPECT_EQ(desktop.countOf("sleep"), 0);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(grid.Cell(1, 3), L"1,3") << "the text is neither lost nor half-cut";
  EXPECT_EQ(desktop.clipboard, L"3,1\t4,1\r\n");
  EXPECT_EQ(form.FUndoCells->groupCount(), 1);
  EXPECT_EQ(form.FUndoCells->Count(), 2) << "only the first cut was recorded";
  pressKey(gridKey::kZ, {.ctrl = true});  // one entry: the first cut's last cell
  EXPECT_EQ(grid.Cell(4, 1), L"4,1");
  EXPECT_EQ(grid.Cell(3, 1), L"");
}

TEST_F(BlockKeys, CtrlVPastesAndCountsTheCellsWritten) {
  desktop.clipboard = L"a\tb\r\n";
  grid.setSelection({3, 4}, {3, 5});
  EXPECT_EQ(pressKey(gridKey::kV, {.ctrl = true}), 0);
  EXPECT_EQ(form.Memo1.Lines(), std::vector<std::wstring>{L"[CTRL]+[V]"});
  // Column 5 does not exist: b lands in column 4 of both rows, nothing beyond.
  EXPECT_EQ(grid.Cell(3, 4), L"a");
  EXPECT_EQ(grid.Cell(4, 5), L"b");
  EXPECT_EQ(form.FUndoCells->groupCount(), 4);
  form.SpeedButton1.Click();
  EXPECT_EQ(written(grid), before);
}

TEST_F(BlockKeys, PasteWithoutTextSetsTheCountToOne) {
  for (const std::optional<std::wstring>& content : {std::optional<std::wstring>(L""), std::optional<std::wstring>()}) {
    desktop.clipboard = content;
    form.FUndoCells->setGroupCount(7);
    pressKey(gridKey::kV, {.ctrl = true});
    EXPECT_EQ(form.FUndoCells->groupCount(), 1);
    form.FUndoCells->setGroupCount(7);
    form.N3.Click();
    EXPECT_EQ(form.FUndoCells->groupCount(), 1);
  }
  EXPECT_EQ(written(grid), before);
  EXPECT_EQ(form.FUndoCells->Count(), 0);
}

TEST_F(BlockKeys, AClipboardThatCannotBeOpenedIsAnErrorAndChangesNothing) {
  desktop.clipboard = L"a\r\n";
  desktop.clipboardReadFails = true;
  pressKey(gridKey::kV, {.ctrl = true});
  form.N3.Click();
  EXPECT_EQ(desktop.messages.size(), 2u);
  EXPECT_EQ(desktop.messages[0], L"error|クリップボード アクセスが拒否されました。 を開けません");
  EXPECT_EQ(form.Memo1.Lines(), std::vector<std::wstring>{L"[CTRL]+[V]"});
  EXPECT_EQ(form.FUndoCells->groupCount(), 7);
  EXPECT_EQ(written(grid), before);
}

TEST_F(BlockKeys, CtrlCXVWhileEditingAreLeftToTheEditorAndLoggedAsOutsideAnEdit) {
  grid.setSelection({1, 1}, {3, 3});
  grid.setEditorMode(true);  // records the current cell (3, 3)
  grid.setCell(3, 3, L"typed");
  desktop.clipboard = L"p\tq\r\n";
  const TCells editing = written(grid);
  for (const std::uint16_t key : {gridKey::kC, gridKey::kX, gridKey::kV}) {
    EXPECT_EQ(pressKey(key, {.ctrl = true}), key) << "the editor's to act on";
  }
  EXPECT_TRUE(grid.EditorMode());
  EXPECT_EQ(written(grid), editing);
  EXPECT_EQ(form.Memo1.Lines(), (std::vector<std::wstring>{L"[CTRL]+[C]", L"[CTRL]+[C]", L"[CTRL]+[V]"}));
  EXPECT_EQ(desktop.countOf("getClipboardText") + desktop.countOf("setClipboardText"), 0);
  EXPECT_EQ(desktop.clipboard, L"p\tq\r\n");
  EXPECT_EQ(form.FUndoCells->groupCount(), 7);
  EXPECT_EQ(form.FUndoCells->Count(), 1);

  // Once the edit has ended they act on the selection again.
  grid.setEditorMode(false);
  EXPECT_EQ(pressKey(gridKey::kV, {.ctrl = true}), 0);
  EXPECT_EQ(grid.Cell(1, 1), L"p");
  EXPECT_EQ(grid.Cell(2, 3), L"q");
  EXPECT_EQ(grid.Cell(3, 3), L"typed");
  EXPECT_EQ(form.FUndoCells->groupCount(), 6);
}

TEST(PasteDropped, CountsTheRowsAndColumnsBeyondTheSheet) {
  // A sheet of 5 columns (0..4) and 9 rows (0..8).
  const struct {
    const char* name;
    TGridRect selection;
    std::wstring text;
    TPasteDropped dropped;
  } cases[] = {
      {"fits exactly", {3, 7, 3, 7}, L"a\tb\r\nc\r\n", {0, 0}},
      {"one row and one column beyond", {3, 7, 3, 7}, L"a\tb\tc\r\nd\r\ne\r\n", {1, 1}},
      {"the widest line counts", {1, 1, 1, 1}, L"a\r\nb\tc\td\te\tf\r\n", {0, 1}},
      {"1,000 lines into the last row", {1, 8, 1, 8}, [] {
         std::wstring t;
         for (int i = 0; i < 1000; ++i) t += L"x\r\n";
         return t;
       }(), {999, 0}},
      {"repetitions stay within the selection", {1, 1, 1, 8}, L"a\r\nb\r\nc\r\n", {0, 0}},
      {"the text after the last line break is a line too", {1, 8, 1, 8}, L"a\r\nb\tc\td\te\tf", {1, 1}},
      {"one word without a line break", {4, 8, 4, 8}, L"value", {0, 0}},
      {"nothing to paste", {1, 1, 1, 1}, L"", {0, 0}},
      {"a quoted cell's breaks are no rows", {1, 8, 1, 8}, L"\"a\r\nb\r\nc\"\tx\r\n", {0, 0}},
  };
  TStringGrid grid;
  grid.setRowCount(9);
  for (const auto& c : cases) {
    const TPasteDropped got = pasteDropped(grid, c.selection, c.text);
    EXPECT_EQ(got.rows, c.dropped.rows) << c.name;
    EXPECT_EQ(got.cols, c.dropped.cols) << c.name;
  }
}

TEST_F(BlockKeys, APasteReachingPastTheSheetSaysWhatItDropped) {
  std::wstring block;
  for (int i = 0; i < 1000; ++i) block += L"v" + std::to_wstring(i) + L"\tw\r\n";
  desktop.clipboard = block;
  grid.setSelection({4, 1}, {4, 1});
  pressKey(gridKey::kV, {.ctrl = true});
  EXPECT_EQ(form.Memo1.Lines(),
            (std::vector<std::wstring>{L"[CTRL]+[V]", L"[ペースト] シートに収まらず捨てた行 = 995, 列 = 1"}));
  EXPECT_EQ(grid.Cell(4, 5), L"v4");
  EXPECT_EQ(form.FUndoCells->groupCount(), 5);

  // The menu paste, silent otherwise, says so too; a block that fits says nothing.
  form.Memo1.clear();
  desktop.clipboard = L"a\r\nb\r\n";
  grid.setSelection({1, 5}, {1, 5});
  form.N3.Click();
  EXPECT_EQ(form.Memo1.Lines(), std::vector<std::wstring>{L"[ペースト] シートに収まらず捨てた行 = 1, 列 = 0"});
  form.Memo1.clear();
  grid.setSelection({1, 4}, {1, 4});
  form.N3.Click();
  EXPECT_TRUE(form.Memo1.Lines().empty());
}

TEST_F(BlockKeys, MenuCutWorksOnOneCellAndReportsALockedClipboard) {
  grid.setSelection({4, 5}, {4, 5});
  form.N1.Click();
  EXPECT_EQ(desktop.clipboard, L"4,5\r\n");
  EXPECT_EQ(grid.Cell(4, 5), L"");
  EXPECT_EQ(form.FUndoCells->groupCount(), 1);
  EXPECT_TRUE(form.Memo1.Lines().empty());

  grid.setSelection({1, 1}, {2, 2});
  desktop.clipboardFailures = 10;
  form.N1.Click();
  EXPECT_EQ(desktop.messages, std::vector<std::wstring>{L"msg|クリップボードへのコピーに失敗しました．"});
  EXPECT_EQ(grid.Cell(1, 1), L"");
  EXPECT_EQ(form.FUndoCells->groupCount(), 4);
  form.SpeedButton1.Click();
  EXPECT_EQ(grid.Cell(1, 1), L"1,1");
  EXPECT_EQ(grid.Cell(4, 5), L"");
}

TEST_F(BlockKeys, MenuPasteCountsTheRepetitionsAndAddsNoLogLine) {
  desktop.clipboard = L"z\r\n";
  grid.setSelection({1, 1}, {1, 5});
  form.N3.Click();
  EXPECT_EQ(form.FUndoCells->groupCount(), 5);
  EXPECT_EQ(grid.Cell(1, 5), L"z");
  EXPECT_TRUE(form.Memo1.Lines().empty());
}

}  // namespace
