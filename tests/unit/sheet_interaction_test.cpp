// The sheet's handlers on the main window: Enter, header clicks, drags, the
// status note, Escape and Ctrl+Z, the greyed look and the option boxes.
#include <gtest/gtest.h>

#include "sheet/grid_input.h"
#include "sheet/grid_keys.h"
#include "sheet_form_fixture.h"

namespace {

using TStrings = std::vector<std::string>;

class SheetEnter : public TSheetFormFixture, public ::testing::Test {};

TEST_F(SheetEnter, MovesRightAndWrapsToTheStartOfTheNextRowInTwoMoves) {
  grid.moveTo(4, 3);
  moves.clear();
  EXPECT_EQ(pressKey(gridKey::kReturn), 0) << "Enter is swallowed";
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 4);
  EXPECT_EQ(moves, (TStrings{"select 4,4", "click", "select 1,4", "click"}));
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 4);
}

TEST_F(SheetEnter, MovesRightWhateverEnterRightShows) {
  form.CheckBox2.setChecked(true);
  grid.moveTo(2, 2);
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Col(), 3);
  form.CheckBox2.setChecked(false);
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Col(), 4);
}

TEST_F(SheetEnter, DownwardGoesToRowOneOfTheNextColumn) {
  grid.setColCount(4);
  form.CheckBox3.setChecked(true);
  grid.moveTo(2, 3);
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Row(), 4);
  moves.clear();
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(moves, (TStrings{"select 2,1", "click", "select 3,1", "click"}));
}

TEST_F(SheetEnter, DownwardWrapGoesToRowOneEvenWhileItIsFixed) {
  form.CheckBox1.setChecked(true);
  form.CheckBox3.setChecked(true);
  grid.moveTo(2, 4);
  moves.clear();
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(moves, (TStrings{"select 2,1", "click", "select 3,1", "click"}));
  // From there Enter goes on down into the data rows.
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Row(), 2);
}

TEST_F(SheetEnter, AltEnterMovesAsEnterAndAltDeleteReachesTheKeyCommands) {
  grid.moveTo(2, 2);
  moves.clear();
  EXPECT_EQ(pressKey(gridKey::kReturn, {.alt = true}), 0);
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_EQ(moves, (TStrings{"select 3,2", "click"}));
  grid.setCell(2, 2, L"a");
  grid.setCell(3, 2, L"b");
  grid.setSelection({2, 2}, {3, 2});
  EXPECT_EQ(pressKey(gridKey::kDelete, {.alt = true}), 0) << "Delete whatever the modifiers";
  EXPECT_EQ(form.Memo1.Lines().back(), L"[DELETE]");
  EXPECT_EQ(grid.Cell(2, 2), L"");
  EXPECT_EQ(grid.Cell(3, 2), L"");
  EXPECT_EQ(pressKey(gridKey::kReturn, {.ctrl = true, .alt = true}), 0);
  EXPECT_EQ(grid.Col(), 3) << "Ctrl still holds Enter back";
}

TEST_F(SheetEnter, BottomRightCellStaysInEitherMode) {
  for (const bool downward : {false, true}) {
    form.CheckBox3.setChecked(downward);
    grid.moveTo(4, 4);
    moves.clear();
    EXPECT_EQ(pressKey(gridKey::kReturn), 0);
    EXPECT_EQ(grid.Col(), 4);
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_TRUE(moves.empty()) << "downward " << downward;
  }
}

TEST_F(SheetEnter, AWrapStepThatStaysPutIsNoMove) {
  // One data column: the wrap's step back to column 1 finds the cell there already.
  grid.setColCount(2);
  grid.moveTo(1, 2);
  moves.clear();
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_EQ(moves, (TStrings{"select 1,3", "click"}));

  // One data row: the downward wrap's step to row 1 finds the cell there already.
  grid.setColCount(5);
  grid.setRowCount(2);
  form.CheckBox3.setChecked(true);
  grid.moveTo(2, 1);
  moves.clear();
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(moves, (TStrings{"select 3,1", "click"}));

  // Row 1 fixed, one data row below it: the wrap still steps up to row 1.
  grid.setRowCount(3);
  form.CheckBox1.setChecked(true);
  grid.moveTo(3, 2);
  moves.clear();
  pressKey(gridKey::kReturn);
  EXPECT_EQ(grid.Col(), 4);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(moves, (TStrings{"select 3,1", "click", "select 4,1", "click"}));
}

TEST_F(SheetEnter, CtrlEnterIsSwallowedAndDoesNothingElse) {
  grid.moveTo(2, 2);
  moves.clear();
  EXPECT_EQ(pressKey(gridKey::kReturn, {.ctrl = true}), 0);
  EXPECT_EQ(pressKey(gridKey::kReturn, {.shift = true, .ctrl = true}), 0);
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_TRUE(moves.empty());
  EXPECT_TRUE(form.Memo1.Lines().empty());
}

TEST_F(SheetEnter, EnterAlternatesBetweenMovingIntoACellAndEndingItsEdit) {
  TGridInput input(grid, form.sheetHooks());
  grid.moveTo(1, 1);
  std::uint16_t key = gridKey::kReturn;
  input.keyDown(key, {});
  EXPECT_EQ(input.charTyped(L'\r'), TCharResult::EditStarted);
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_TRUE(grid.EditorMode());
  key = gridKey::kReturn;
  input.keyDown(key, {});
  EXPECT_EQ(input.charTyped(L'\r'), TCharResult::EditEnded);
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_FALSE(grid.EditorMode());
}

class SheetHeaderClick : public TSheetFormFixture, public ::testing::Test {};

TEST_F(SheetHeaderClick, CornerSelectsEveryDataCellWithoutTouchingTheNote) {
  grid.moveTo(2, 2);
  ASSERT_EQ(form.StatusBar1.Panel(1), L"新規作成不可");
  grid.setTag(4, 2, 7);  // the bottom-right cell's column now holds a text
  moves.clear();
  form.StringGrid1FixedCellClick(0, 0);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 4, 4}));
  EXPECT_EQ(grid.Anchor(), (TGridCoord{1, 1}));
  EXPECT_EQ(grid.Col(), 4);
  EXPECT_EQ(grid.Row(), 4);
  EXPECT_EQ(form.StatusBar1.Panel(1), L"新規作成不可");
  EXPECT_TRUE(moves.empty()) << "setting the block runs neither event";
}

TEST_F(SheetHeaderClick, RowAndColumnHeadersSelectTheirDataCells) {
  form.StringGrid1FixedCellClick(0, 3);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 3, 4, 3}));
  EXPECT_EQ(grid.Col(), 4);
  form.StringGrid1FixedCellClick(2, 0);
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 1, 2, 4}));
  EXPECT_EQ(grid.Row(), 4);
  form.CheckBox1.setChecked(true);
  form.StringGrid1FixedCellClick(2, 0);
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 2, 2, 4})) << "the fixed row 1 stays out";
}

TEST_F(SheetHeaderClick, AFixedSecondRowIsSelectedByItsHeaderOnly) {
  form.CheckBox1.setChecked(true);
  grid.moveTo(2, 3);
  form.StringGrid1FixedCellClick(3, 1);
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 3, 2, 3})) << "a cell of the fixed row selects nothing";
  moves.clear();
  form.StringGrid1FixedCellClick(0, 1);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 4, 1}));
  EXPECT_EQ(grid.Col(), 4);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_TRUE(moves.empty());
}

TEST_F(SheetHeaderClick, UndoOfAnEntryInAFixedRowOneMakesItsCellCurrent) {
  form.CheckBox1.setChecked(true);
  grid.setCell(3, 1, L"品名");
  form.FUndoCells->Add(grid, 3, 1);
  grid.setCell(3, 1, L"変更");
  grid.moveTo(2, 3);
  moves.clear();
  pressKey(gridKey::kEscape);
  EXPECT_EQ(grid.Cell(3, 1), L"品名");
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(moves, (TStrings{"select 3,3", "click", "select 3,1", "click"}));
  // The user's keys move along the fixed row and down, never above it.
  TGridInput input(grid, form.sheetHooks());
  std::uint16_t key = gridKey::kUp;
  input.keyDown(key, {});
  EXPECT_EQ(grid.Row(), 1);
  key = gridKey::kLeft;
  input.keyDown(key, {});
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 1);
  key = gridKey::kDown;
  input.keyDown(key, {});
  EXPECT_EQ(grid.Row(), 2);
  key = gridKey::kUp;
  input.keyDown(key, {});
  EXPECT_EQ(grid.Row(), 2) << "back into the fixed row only by the program";
}

class SheetDrag : public TSheetFormFixture, public ::testing::Test {
 protected:
  SheetDrag() { grid.setRowCount(7); }
};

TEST_F(SheetDrag, SelectsFromTheStartCellToThePointer) {
  mouseDown(2, 2);
  EXPECT_EQ(form.startCol, 2);
  EXPECT_EQ(form.startRow, 2);
  mouseMove(3, 4);
  mouseMove(4, 5);
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 2, 4, 5}));
  EXPECT_EQ(grid.Col(), 4);
  EXPECT_EQ(grid.Row(), 5);
  EXPECT_EQ(grid.Anchor(), (TGridCoord{2, 2}));
  mouseUp();
  EXPECT_EQ(form.startCol, -1);
  EXPECT_EQ(form.startRow, -1);
}

TEST_F(SheetDrag, HeaderCellsClampTheCornerToTheFirstDataColumnAndRow) {
  mouseDown(3, 3);
  mouseMove(0, 5);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 3, 3, 5}));
  EXPECT_EQ(form.moveCol, 0) << "the cell before clamping is kept";
  mouseMove(2, 0);
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 1, 3, 3}));
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 1);
}

TEST_F(SheetDrag, BackOnTheStartCellLeavesTheSelection) {
  mouseDown(2, 2);
  mouseMove(3, 3);
  mouseMove(2, 2);
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 2, 3, 3}));
}

TEST_F(SheetDrag, TheLastCellOfAFormerDragChangesNothingAtFirst) {
  mouseDown(2, 2);
  mouseMove(4, 4);
  mouseUp();
  grid.moveTo(1, 1);
  mouseDown(1, 1);
  mouseMove(4, 4);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 1, 1}));
  mouseMove(4, 5);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 4, 5}));
}

TEST_F(SheetDrag, APressOnAHeaderOrAMoveWithoutAPressSelectsNothing) {
  mouseMove(3, 3);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 1, 1}));
  mouseDown(0, 2);
  EXPECT_EQ(form.startCol, -1);
  mouseMove(3, 3);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 1, 1}));
  form.StringGrid1MouseDown(TMouseButton::Right, {}, centre(2, 2).first, centre(2, 2).second);
  EXPECT_EQ(form.startCol, -1) << "only the left button starts a drag";
}

class SheetNote : public TSheetFormFixture, public ::testing::Test {};

TEST_F(SheetNote, ChangesOnlyWhenTheColumnChanges) {
  grid.setTag(3, 4, 11);
  grid.moveTo(2, 1);
  EXPECT_EQ(form.StatusBar1.Panel(1), L"新規作成不可");
  grid.moveTo(3, 1);
  EXPECT_EQ(form.StatusBar1.Panel(1), L"");
  form.StatusBar1.setPanel(1, L"x");
  grid.moveTo(3, 2);
  EXPECT_EQ(form.StatusBar1.Panel(1), L"x") << "same column: left alone";
  EXPECT_EQ(form.clickCol, 3);
  grid.moveTo(2, 2);
  EXPECT_EQ(form.StatusBar1.Panel(1), L"新規作成不可");
}

TEST_F(SheetNote, TheFirstSelectionBeforeAnyAcquireShowsTheNote) {
  grid.moveTo(1, 2);  // clickCol starts at 0, so column 1 is a change
  EXPECT_EQ(form.StatusBar1.Panel(1), L"新規作成不可");
}

class SheetUndoKeys : public TSheetFormFixture, public ::testing::Test {
 protected:
  // Types `text` into (col, row) as the user would: the edit records the cell.
  void typeInto(std::int32_t col, std::int32_t row, wchar_t ch) {
    TGridInput input(grid, form.sheetHooks());
    grid.moveTo(col, row);
    ASSERT_EQ(input.charTyped(ch), TCharResult::EditReplaced);
    ASSERT_EQ(input.charTyped(L'\r'), TCharResult::EditEnded);
  }
};

TEST_F(SheetUndoKeys, EditsAreRecordedAsTheyBegin) {
  grid.setCell(2, 2, L"old");
  typeInto(2, 2, L'n');
  EXPECT_EQ(grid.Cell(2, 2), L"n");
  ASSERT_EQ(form.FUndoCells->Count(), 1);
  EXPECT_EQ(form.FUndoCells->GetItem(0)->FText, L"old");
  EXPECT_EQ(form.FUndoCells->groupCount(), 0) << "recording an edit leaves the group count";
}

TEST_F(SheetUndoKeys, EscapeTwiceUndoesTwoEntries) {
  grid.setCell(1, 1, L"a0");
  grid.setCell(3, 2, L"b0");
  typeInto(1, 1, L'a');
  typeInto(3, 2, L'b');
  EXPECT_EQ(pressKey(gridKey::kEscape), 0);
  EXPECT_EQ(grid.Cell(3, 2), L"b0");
  EXPECT_EQ(grid.Cell(1, 1), L"a");
  pressKey(gridKey::kEscape);
  EXPECT_EQ(grid.Cell(1, 1), L"a0");
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(form.Memo1.Lines(), (std::vector<std::wstring>{L"[ESC]", L"[ESC]"}));
}

TEST_F(SheetUndoKeys, CtrlZAndCtrlShiftZRunTheGroupedUndo) {
  for (std::int32_t row = 1; row <= 3; ++row) {
    typeInto(2, row, static_cast<wchar_t>(L'0' + row));
  }
  form.FUndoCells->setGroupCount(2);
  EXPECT_EQ(pressKey(gridKey::kZ, {.ctrl = true}), 0);
  EXPECT_EQ(grid.Cell(2, 3), L"");
  EXPECT_EQ(grid.Cell(2, 2), L"");
  EXPECT_EQ(grid.Cell(2, 1), L"1");
  EXPECT_EQ(form.FUndoCells->groupCount(), 0);
  pressKey(gridKey::kZ, {.shift = true, .ctrl = true});
  EXPECT_EQ(grid.Cell(2, 1), L"");
  EXPECT_EQ(form.Memo1.Lines(), (std::vector<std::wstring>{L"[CTRL]+[Z]", L"[CTRL]+[Z]"}));
}

TEST_F(SheetUndoKeys, CtrlZDuringAnEditRevertsTheGroupAndRecordsNothingOnTheWay) {
  typeInto(2, 1, L'a');
  typeInto(2, 2, L'b');
  typeInto(2, 3, L'c');
  TGridInput input(grid, form.sheetHooks());
  grid.moveTo(3, 3);
  input.charTyped(L'd');  // still editing (3, 3)
  form.FUndoCells->setGroupCount(3);
  pressKey(gridKey::kZ, {.ctrl = true});
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(grid.Cell(3, 3), L"");
  EXPECT_EQ(grid.Cell(2, 3), L"");
  EXPECT_EQ(grid.Cell(2, 2), L"");
  EXPECT_EQ(grid.Cell(2, 1), L"a");
  EXPECT_EQ(form.FUndoCells->Count(), 1) << "the moves of the undo recorded no entry";
}

TEST_F(SheetUndoKeys, TheUndoButtonDuringAnEditRevertsTheGroupAndRecordsNothingOnTheWay) {
  typeInto(2, 1, L'a');
  typeInto(2, 2, L'b');
  TGridInput input(grid, form.sheetHooks());
  grid.moveTo(3, 3);
  input.charTyped(L'c');  // still editing (3, 3)
  form.FUndoCells->setGroupCount(2);
  form.SpeedButton1.Click();
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(grid.Cell(3, 3), L"");
  EXPECT_EQ(grid.Cell(2, 2), L"");
  EXPECT_EQ(grid.Cell(2, 1), L"a");
  EXPECT_EQ(form.FUndoCells->groupCount(), 2) << "the button keeps the group count";
  EXPECT_EQ(form.FUndoCells->Count(), 1) << "the moves of the undo recorded no entry";
}

TEST_F(SheetUndoKeys, EscapeDuringAnEditPutsBackTheTextTheEditBeganWith) {
  grid.setCell(2, 2, L"before");
  TGridInput input(grid, form.sheetHooks());
  grid.moveTo(2, 2);
  input.charTyped(L'x');
  input.charTyped(L'y');  // the editor's; the model holds the first character
  pressKey(gridKey::kEscape);
  EXPECT_EQ(grid.Cell(2, 2), L"before");
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(form.FUndoCells->Count(), 0);
}

// While a command lets messages through, no key command runs, none falls
// through to an open editor, and no editor opens.
TEST_F(SheetUndoKeys, AKeyCommandStartedDuringAnotherCommandIsIgnored) {
  typeInto(2, 2, L'x');
  desktop.clipboard = L"pasted\r\n";
  const struct {
    std::uint16_t key;
    TShiftState shift;
  } keys[] = {{gridKey::kEscape, {}},          {gridKey::kReturn, {}},
              {gridKey::kZ, {.ctrl = true}},   {gridKey::kDelete, {}},
              {gridKey::kC, {.ctrl = true}},   {gridKey::kX, {.ctrl = true}},
              {gridKey::kV, {.ctrl = true}},   {gridKey::kDelete, {.shift = true}}};
  TGridInput input(grid, form.sheetHooks());
  grid.moveTo(3, 3);
  input.charTyped(L'e');  // an edit open on (3, 3) when the command starts
  form.runCommand([&] {
    for (const auto& k : keys) {
      std::uint16_t key = k.key;
      EXPECT_TRUE(input.keyDown(key, k.shift, true)) << "key " << k.key;
      EXPECT_EQ(key, 0) << "key " << k.key << " would reach the editor";
    }
    grid.setEditorMode(false);
    grid.moveTo(2, 2);
    EXPECT_EQ(input.charTyped(L'y'), TCharResult::Ignored);
    EXPECT_FALSE(input.startEdit());
    std::uint16_t f2 = gridKey::kF2;
    input.keyDown(f2, {});
    EXPECT_FALSE(grid.EditorMode());
  });
  EXPECT_EQ(grid.Cell(2, 2), L"x");
  EXPECT_EQ(grid.Cell(3, 3), L"e");
  EXPECT_EQ(desktop.clipboard, L"pasted\r\n");
  EXPECT_TRUE(form.Memo1.Lines().empty());
  EXPECT_EQ(form.FUndoCells->Count(), 2) << "only the two edits begun outside the command";
  // Once the command is over, typing edits again.
  EXPECT_EQ(input.charTyped(L'z'), TCharResult::EditReplaced);
}

class SheetLook : public TSheetFormFixture, public ::testing::Test {
 protected:
  TCellLook look(std::int32_t col, std::int32_t row, TDrawState state = {}) {
    return form.StringGrid1DrawCell(col, row, TCellRect{100, 40, 140, 60}, state);
  }
};

TEST_F(SheetLook, ColumnsWithoutDrawingTextsAreGreyedPastTheirEdges) {
  const TCellLook grey = look(2, 3, {.selected = true});
  EXPECT_EQ(grey.fill, TCellFill::ButtonFace);
  EXPECT_EQ(grey.fillRect, (TCellRect{96, 40, 141, 61}));
  EXPECT_EQ(grey.textRect, (TCellRect{100, 40, 140, 60})) << "text from the left edge, no margin";
  EXPECT_FALSE(grey.highlightText);
}

TEST_F(SheetLook, ColumnsWithATextLookNormal) {
  grid.setTag(2, 4, -1);
  const TCellLook normal = look(2, 3);
  EXPECT_EQ(normal.fill, TCellFill::Window);
  EXPECT_EQ(normal.fillRect, (TCellRect{100, 40, 140, 60}));
  EXPECT_EQ(normal.textRect.left, 106);
  EXPECT_EQ(look(2, 3, {.selected = true}).fill, TCellFill::Highlight);
  const TCellLook current = look(2, 3, {.selected = true, .current = true, .focused = true});
  EXPECT_EQ(current.fill, TCellFill::Window);
  EXPECT_TRUE(current.focusFrame);
  const TCellLook edited = look(2, 3, {.selected = true, .current = true, .editing = true});
  EXPECT_EQ(edited.fill, TCellFill::Window) << "the editor over it shows no highlight around it";
  EXPECT_FALSE(edited.focusFrame);
}

TEST_F(SheetLook, HeadersAreSkyBlueAndASecondFixedRowToo) {
  EXPECT_EQ(look(0, 3).fill, TCellFill::Header);
  EXPECT_EQ(look(3, 0).fill, TCellFill::Header);
  EXPECT_EQ(look(3, 1).fill, TCellFill::ButtonFace);
  form.CheckBox1.setChecked(true);
  EXPECT_EQ(look(3, 1).fill, TCellFill::Header);
  EXPECT_EQ(look(3, 1).textRect.left, 106);
}

TEST_F(SheetLook, ATextInRowOneCountsAlsoWhileTheRowIsFixed) {
  grid.setTag(3, 1, 5);
  form.CheckBox1.setChecked(true);
  EXPECT_TRUE(columnHasTag(grid, 3));
  EXPECT_EQ(look(3, 2).fill, TCellFill::Window);
  EXPECT_FALSE(columnHasTag(grid, 2));
  grid.setTag(3, 0, 5);
  EXPECT_FALSE(columnHasTag(grid, 4)) << "only data rows count";
  grid.setRowCount(1);
  EXPECT_FALSE(columnHasTag(grid, 3));
}

class SheetOptions : public TSheetFormFixture, public ::testing::Test {};

TEST_F(SheetOptions, FixedFirstRowNeedsThreeRows) {
  grid.setRowCount(2);
  form.CheckBox1.setChecked(true);
  EXPECT_FALSE(form.CheckBox1.Checked());
  EXPECT_EQ(grid.FixedRows(), 1);
  grid.setRowCount(3);
  form.CheckBox1.setChecked(true);
  EXPECT_TRUE(form.CheckBox1.Checked());
  EXPECT_EQ(grid.FixedRows(), 2);
  EXPECT_EQ(grid.Row(), 2);
  form.CheckBox1.setChecked(false);
  EXPECT_EQ(grid.FixedRows(), 1);
}

TEST_F(SheetOptions, FixingRowOneEndsAnEditOfIt) {
  TGridInput input(grid, form.sheetHooks());
  input.charTyped(L'x');
  ASSERT_TRUE(grid.EditorMode());
  form.CheckBox1.setChecked(true);
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_FALSE(grid.EditorMode()) << "the edit would go on in row 2 unrecorded";
  EXPECT_EQ(grid.Cell(1, 1), L"x");
}

TEST_F(SheetOptions, AtMostOneEnterDirectionIsChecked) {
  form.CheckBox2.setChecked(true);
  form.CheckBox3.setChecked(true);
  EXPECT_FALSE(form.CheckBox2.Checked());
  form.CheckBox2.setChecked(true);
  EXPECT_FALSE(form.CheckBox3.Checked());
  form.CheckBox2.setChecked(false);
  EXPECT_FALSE(form.CheckBox2.Checked());
  EXPECT_FALSE(form.CheckBox3.Checked());
}

}  // namespace
