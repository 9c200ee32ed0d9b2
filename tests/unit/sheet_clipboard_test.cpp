// Copying the sheet's selection: the text format, the menu copy's retries and
// message, Ctrl+C's silent tries.
#include <gtest/gtest.h>

#include "sheet/block_commands.h"
#include "sheet/clipboard_text.h"
#include "sheet/grid_keys.h"
#include "sheet_form_fixture.h"

namespace {

TEST(ClipboardText, TabBetweenCellsAndCrLfAfterEveryRowIncludingTheLast) {
  TStringGrid grid;
  grid.setCell(1, 1, L"a");
  grid.setCell(2, 1, L"b");
  grid.setCell(1, 2, L"c");
  EXPECT_EQ(clipboardText(grid, {1, 1, 2, 2}), L"a\tb\r\nc\t\r\n");
}

TEST(ClipboardText, ASingleEmptyCellIsCrLfAlone) {
  TStringGrid grid;
  EXPECT_EQ(clipboardText(grid, {3, 3, 3, 3}), L"\r\n");
}

// Texts go unquoted, TABs and quotes too; a text with a line break goes in
// quotes, as Excel writes it, and a paste of the copy gives every cell back.
TEST(ClipboardText, TextsWithLineBreaksGoQuotedAsExcelWritesThem) {
  TStringGrid grid;
  grid.setCell(1, 1, L"x\ty");
  grid.setCell(2, 1, L"\"q\"");
  grid.setCell(1, 2, L"\"q\"\nz");
  grid.setCell(2, 2, L"寸法\n備考");
  EXPECT_EQ(clipboardText(grid, {1, 1, 2, 2}), L"x\ty\t\"q\"\r\n\"\"\"q\"\"\nz\"\t\"寸法\n備考\"\r\n");

  grid.setCell(1, 1, L"x");  // a TAB in a text is a field's end on any paste
  TStringGrid pasted;
  TUndoCells undo;
  pasteText(pasted, undo, {1, 1, 1, 1}, clipboardText(grid, {1, 1, 2, 2}));
  for (const auto& [col, row] : {std::pair{1, 1}, {2, 1}, {1, 2}, {2, 2}}) {
    EXPECT_EQ(pasted.Cell(col, row), grid.Cell(col, row)) << col << "," << row;
  }
}

TEST(SetClipboardText, WaitsAfterEachFailedOpenAndGivesUpAfterTheTries) {
  TFakeDesktop desktop;
  desktop.clipboardFailures = 4;
  EXPECT_FALSE(setClipboardText(desktop, L"t", 4));
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"setClipboardText", "sleep 250", "setClipboardText", "sleep 250",
                                                     "setClipboardText", "sleep 250", "setClipboardText",
                                                     "sleep 250"}));
  EXPECT_FALSE(desktop.clipboard.has_value());
  desktop.calls.clear();
  desktop.clipboardFailures = 1;
  EXPECT_TRUE(setClipboardText(desktop, L"t", 4));
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"setClipboardText", "sleep 250", "setClipboardText"}));
  EXPECT_EQ(desktop.clipboard, L"t");
}

TEST(EditorPasteText, TheFirstLineWithoutItsBreak) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"frag", L"frag"},
      {L"図面\r\n", L"図面"},              // the sheet's own copy of one cell
      {L"a\tb\r\nc\t\r\n", L"a\tb"},      // of a block: its first row as it is
      {L"unix\nline", L"unix"},
      {L"old mac\rline", L"old mac"},
      {L"\r\nsecond", L""},
      {L"", L""},
      {L"\"寸法\n備考\"\r\n", L"寸法¶備考"},  // a cell with a break: whole, the break as the mark
      {L"\"q\"\r\n", L"\"q\""},              // quotes without a break are text
      {L"\"a\nb", L"\"a"},                    // unclosed: not a quoted field
  };
  for (const auto& [clipboard, inserted] : cases) {
    EXPECT_EQ(editorPasteText(clipboard), inserted) << toUtf8(clipboard);
  }
}

class MenuCopy : public TSheetFormFixture, public ::testing::Test {
 protected:
  MenuCopy() {
    grid.setCell(2, 2, L"図面");
    grid.setCell(3, 2, L"1");
    grid.setSelection({2, 2}, {3, 2});
    form.FUndoCells->setGroupCount(5);
  }
};

TEST_F(MenuCopy, PutsTheSelectionOnTheClipboardAndResetsTheGroupCount) {
  form.N2.Click();
  EXPECT_EQ(desktop.clipboard, L"図面\t1\r\n");
  EXPECT_EQ(form.FUndoCells->groupCount(), 0);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(form.FUndoCells->Count(), 0);
  EXPECT_EQ(grid.Cell(2, 2), L"図面");
}

TEST_F(MenuCopy, ReportsAFailureAfterTenTriesWithWaits) {
  desktop.clipboardFailures = 10;
  form.N2.Click();
  EXPECT_EQ(desktop.countOf("setClipboardText"), 10);
  EXPECT_EQ(desktop.countOf("sleep 250"), 10);
  EXPECT_EQ(desktop.ticks, 1000u + 2500u);
  EXPECT_EQ(desktop.messages, (std::vector<std::wstring>{L"msg|クリップボードへのコピーに失敗しました．"}));
  EXPECT_EQ(form.FUndoCells->groupCount(), 0);
}

TEST_F(MenuCopy, SucceedsOnTheTenthTry) {
  desktop.clipboardFailures = 9;
  form.N2.Click();
  EXPECT_EQ(desktop.countOf("setClipboardText"), 10);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(desktop.clipboard, L"図面\t1\r\n");
}

class KeyCopy : public TSheetFormFixture, public ::testing::Test {
 protected:
  KeyCopy() {
    grid.setCell(1, 1, L"a");
    grid.setSelection({1, 1}, {2, 1});
  }
};

TEST_F(KeyCopy, CtrlCCopiesLogsAndSetsTheGroupCountToOne) {
  EXPECT_EQ(pressKey(gridKey::kC, {.ctrl = true}), 0);
  EXPECT_EQ(desktop.clipboard, L"a\t\r\n");
  EXPECT_EQ(form.Memo1.Lines(), (std::vector<std::wstring>{L"[CTRL]+[C]"}));
  EXPECT_EQ(form.FUndoCells->groupCount(), 1);
}

TEST_F(KeyCopy, CtrlCTriesThreeTimesRightAfterEachOtherAndFailsSilently) {
  desktop.clipboardFailures = 5;
  EXPECT_EQ(pressKey(gridKey::kC, {.ctrl = true}), 0);
  EXPECT_EQ(desktop.countOf("setClipboardText"), 3);
  EXPECT_EQ(desktop.countOf("sleep"), 0);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(form.FUndoCells->groupCount(), 1);
}

TEST_F(KeyCopy, CThenCtrlZUndoesOneEntry) {
  grid.moveTo(1, 1);
  grid.setEditorMode(true);  // records (1, 1)
  grid.setCell(1, 1, L"b");
  grid.setEditorMode(false);
  grid.moveTo(2, 1);
  grid.setEditorMode(true);
  grid.setCell(2, 1, L"c");
  grid.setEditorMode(false);
  form.FUndoCells->setGroupCount(2);  // left by an earlier many-cell command
  pressKey(gridKey::kC, {.ctrl = true});
  pressKey(gridKey::kZ, {.ctrl = true});
  EXPECT_EQ(grid.Cell(2, 1), L"");
  EXPECT_EQ(grid.Cell(1, 1), L"b");
}

TEST_F(KeyCopy, PlainCIsNoCommand) {
  EXPECT_EQ(pressKey(gridKey::kC), gridKey::kC);
  EXPECT_FALSE(desktop.clipboard.has_value());
  EXPECT_TRUE(form.Memo1.Lines().empty());
}

}  // namespace
