// The sheet's handlers: its look, header clicks, drag selection, the status
// note, undo recording and its keys.
#include <algorithm>

#include "app/morvane_form.h"
#include "app/pending_look.h"
#include "sheet/cell_look.h"
#include "sheet/grid_geometry.h"
#include "sheet/grid_keys.h"
#include "sheet/key_commands.h"
#include "sheet/sheet_moves.h"

namespace {
const std::wstring kNoNewText = L"新規作成不可";
// Fill of a greyed cell beyond its own rectangle: over the 4 pixels to its left
// and over its grid lines to the right and below.
constexpr int kGreyLeftReach = 4;
}  // namespace

void TMorvaneForm::wireSheet() {
  StringGrid1.OnSelectCell = [this](std::int32_t col, std::int32_t row, bool& canSelect) {
    StringGrid1SelectCell(col, row, canSelect);
  };
  StringGrid1.OnGetEditText = [this](std::int32_t col, std::int32_t row) { StringGrid1GetEditText(col, row); };
  // An edit begun inside a command's message pump would be recorded in the
  // middle of the command's own undo group.
  StringGrid1.OnCanEdit = [this] { return !commandRunning(); };
  CheckBox1.OnClick = [this] { CheckBox1Click(); };
  CheckBox2.OnClick = [this] { CheckBox2Click(); };
  CheckBox3.OnClick = [this] { CheckBox3Click(); };
}

TGridControlHooks TMorvaneForm::sheetHooks() {
  TGridControlHooks hooks;
  hooks.keyDown = [this](std::uint16_t& key, TShiftState shift) { StringGrid1KeyDown(key, shift); };
  hooks.fixedCellClick = [this](std::int32_t col, std::int32_t row) { StringGrid1FixedCellClick(col, row); };
  hooks.mouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
    StringGrid1MouseDown(button, shift, x, y);
  };
  hooks.mouseMove = [this](TShiftState shift, int x, int y) { StringGrid1MouseMove(shift, x, y); };
  hooks.mouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
    StringGrid1MouseUp(button, shift, x, y);
  };
  hooks.drawCell = [this](std::int32_t col, std::int32_t row, const TCellRect& rect, TDrawState state) {
    return StringGrid1DrawCell(col, row, rect, state);
  };
  hooks.painted = [this] { showPendingCounts(); };
  return hooks;
}

TCellLook TMorvaneForm::StringGrid1DrawCell(std::int32_t col, std::int32_t row, const TCellRect& rect,
                                            TDrawState state) {
  TCellLook look = normalCellLook(StringGrid1, col, row, rect, state);
  if (!isHeaderCell(StringGrid1, col, row) && !columnHasTag(StringGrid1, col)) {
    // No new text can be created in this column: it shows grey, selected or not.
    look.fill = TCellFill::ButtonFace;
    look.fillRect = {rect.left - kGreyLeftReach, rect.top, rect.right + 1, rect.bottom + 1};
    look.textRect = rect;
    look.highlightText = false;
  }
  // Row 1 is written by Update also while it is fixed, so it is marked too.
  if (const TPendingMarkLook mark = pendingMark(FTable.pending.kindOf(col, row)); mark.color != 0) {
    addCornerMark(look, rect, mark.color, mark.shape);
  }
  // Editing a cell that holds more than one text leaves the others in the
  // drawing; row 1 is marked also while it is fixed.
  if (FTable.hidden.crowded(col, row)) {
    addLeftMark(look, kMarkCrowded);
  }
  return look;
}

void TMorvaneForm::showPendingCounts() {
  const std::wstring text = pendingStatusText(FTable.pending.counts());
  if (StatusBar1.Panel(2) != text) {
    StatusBar1.setPanel(2, text);
  }
}

void TMorvaneForm::StringGrid1FixedCellClick(std::int32_t col, std::int32_t row) {
  const std::optional<TBlockSelection> block = headerClickSelection(StringGrid1, col, row);
  if (!block) {
    return;
  }
  StringGrid1.setSelection(block->anchor, block->current);
  StringGrid1.invalidate();
}

void TMorvaneForm::StringGrid1MouseDown(TMouseButton button, TShiftState, int x, int y) {
  if (button != TMouseButton::Left) {
    return;
  }
  const TGridCoord cell = mouseCell(StringGrid1, x, y);
  if (cell.X >= StringGrid1.FixedCols() && cell.Y >= StringGrid1.FixedRows()) {
    startCol = cell.X;
    startRow = cell.Y;
  }
}

void TMorvaneForm::StringGrid1MouseMove(TShiftState, int x, int y) {
  if (startCol < 0 || startRow < 0) {
    return;
  }
  const TGridCoord cell = mouseCell(StringGrid1, x, y);
  if (cell.X < 0 || cell.Y < 0) {
    return;
  }
  if ((cell.X == startCol && cell.Y == startRow) || (cell.X == moveCol && cell.Y == moveRow)) {
    return;
  }
  const std::int32_t right = std::max(cell.X, StringGrid1.FixedCols());
  const std::int32_t bottom = std::max(cell.Y, StringGrid1.FixedRows());
  StringGrid1.setSelection({startCol, startRow}, {right, bottom});
  StringGrid1.invalidate();
  moveCol = cell.X;
  moveRow = cell.Y;
}

void TMorvaneForm::StringGrid1MouseUp(TMouseButton, TShiftState, int, int) {
  startCol = -1;
  startRow = -1;
  StringGrid1.invalidate();
}

void TMorvaneForm::StringGrid1SelectCell(std::int32_t col, std::int32_t, bool& canSelect) {
  if (col != clickCol) {
    if (columnHasTag(StringGrid1, col)) {
      if (!StatusBar1.Panel(1).empty()) {
        StatusBar1.setPanel(1, L"");
      }
    } else if (StatusBar1.Panel(1) != kNoNewText) {
      StatusBar1.setPanel(1, kNoNewText);
    }
  }
  clickCol = col;
  canSelect = true;
}

void TMorvaneForm::StringGrid1GetEditText(std::int32_t col, std::int32_t row) {
  FUndoCells->Add(StringGrid1, col, row);
}

// Every command that writes or restores cells ends an open edit first. The
// text typed so far is in the cell already. Left open, the editor would
// follow the current cell as an undo moves it, or take up whatever cell the
// user clicks while a command lets messages through, and record that cell
// in the middle of the command's group: the next undo step would take back
// the fresh entry instead of an older one.
void TMorvaneForm::endEditFirst() { StringGrid1.setEditorMode(false); }

void TMorvaneForm::StringGrid1KeyDown(std::uint16_t& key, TShiftState shift) {
  if (key == gridKey::kEscape) {
    key = 0;
    runCommand([this] {
      Memo1.add(L"[ESC]");
      endEditFirst();
      FUndoCells->Undo(StringGrid1);
    });
    return;
  }
  if (key == gridKey::kReturn) {
    key = 0;
    if (!shift.ctrl) {
      runCommand([this] { moveByEnter(StringGrid1, CheckBox3.Checked()); });
    }
    return;
  }
  if (key == gridKey::kZ && shift.ctrl) {
    key = 0;
    runCommand([this] {
      Memo1.add(L"[CTRL]+[Z]");
      endEditFirst();
      locateOnceAfter([this] { FUndoCells->undoGroup(StringGrid1); });
    });
    return;
  }
  if (!isSheetKeyCommand(key, shift)) {
    return;
  }
  if (commandRunning()) {
    // Left alone, the key would reach the open cell editor, which deletes,
    // cuts or pastes on its own in the middle of the command.
    key = 0;
    return;
  }
  if (StringGrid1.EditorMode() && isClipboardKey(key, shift)) {
    // In a cell being edited they cut, copy and paste the editor's own text,
    // as in any spreadsheet: a fragment goes into the text instead of over
    // the selection. The log names the key as outside an edit.
    Memo1.add(clipboardKeyLogLine(key));
    return;
  }
  runCommand([this, &key, shift] {
    // Delete over a block empties it as outside an edit; Delete on the
    // edited cell alone stays the editor's.
    const TGridRect block = StringGrid1.Selection();
    const bool singleCell = block.Left == block.Right && block.Top == block.Bottom;
    if (key == gridKey::kDelete && !singleCell) {
      endEditFirst();
    }
    TKeyCommandContext context{StringGrid1, *FUndoCells, ports().desktop,
                               [this](const std::wstring& line) { Memo1.add(line); }};
    sheetKeyCommand(context, key, shift);
  });
}

void TMorvaneForm::CheckBox1Click() {
  if (StringGrid1.RowCount() < 3) {
    // A second fixed row needs a data row below it.
    CheckBox1.setChecked(false);
    return;
  }
  StringGrid1.setFixedRows(CheckBox1.Checked() ? 2 : 1);
}

void TMorvaneForm::CheckBox2Click() {
  if (CheckBox2.Checked()) {
    CheckBox3.setChecked(false);
  }
}

void TMorvaneForm::CheckBox3Click() {
  if (CheckBox3.Checked()) {
    CheckBox2.setChecked(false);
  }
}
