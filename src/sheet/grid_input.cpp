#include "sheet/grid_input.h"

#include <algorithm>

#include "sheet/column_fit.h"
#include "sheet/grid_geometry.h"
#include "sheet/grid_keys.h"

namespace {
// A column or row dragged narrower than this could no longer be grabbed.
constexpr int kMinCellSize = 4;
}  // namespace

void TGridInput::setViewSize(int width, int height) {
  FViewWidth = std::max(width, 0);
  FViewHeight = std::max(height, 0);
  keepInRange();
}

bool TGridInput::keyDown(std::uint16_t& key, TShiftState shift, bool inEditor) {
  if (FHooks.keyDown) {
    FHooks.keyDown(key, shift);
  }
  if (key == 0) {
    return true;
  }
  return moveKey(key, shift, inEditor);
}

bool TGridInput::moveKey(std::uint16_t key, TShiftState shift, bool inEditor) {
  const std::int32_t col = FGrid.Col();
  const std::int32_t row = FGrid.Row();
  const std::int32_t firstCol = FGrid.FixedCols();
  const std::int32_t firstRow = FGrid.FixedRows();
  const std::int32_t lastCol = FGrid.ColCount() - 1;
  const std::int32_t lastRow = FGrid.RowCount() - 1;
  const bool extend = shift.shift && !inEditor && !FGrid.EditorMode();
  switch (key) {
    case gridKey::kF2:
      startEdit();
      return true;
    case gridKey::kTab:
      if (shift.ctrl || shift.alt) {
        return false;
      }
      if (!shift.shift) {
        if (col < lastCol) {
          moveCurrent(col + 1, row, false);
        } else if (row < lastRow) {
          moveCurrent(firstCol, row + 1, false);
        }
      } else if (col > firstCol) {
        moveCurrent(col - 1, row, false);
      } else if (row > firstRow) {
        moveCurrent(lastCol, row - 1, false);
      }
      return true;
    case gridKey::kUp:
      moveCurrent(col, row - 1, extend);
      return true;
    case gridKey::kDown:
      moveCurrent(col, row + 1, extend);
      return true;
    case gridKey::kLeft:
    case gridKey::kRight:
      // Inside the editor they move the caret.
      if (inEditor) {
        return false;
      }
      moveCurrent(key == gridKey::kLeft ? col - 1 : col + 1, row, extend);
      return true;
    case gridKey::kHome:
    case gridKey::kEnd:
      if (inEditor) {
        return false;
      }
      if (shift.ctrl) {
        moveCurrent(key == gridKey::kHome ? firstCol : lastCol, key == gridKey::kHome ? firstRow : lastRow, extend);
      } else {
        moveCurrent(key == gridKey::kHome ? firstCol : lastCol, row, extend);
      }
      return true;
    case gridKey::kPageUp:
    case gridKey::kPageDown: {
      const std::int32_t page = std::max(visibleRange(FGrid, FViewWidth, FViewHeight).wholeRows, 1);
      const std::int32_t step = key == gridKey::kPageUp ? -page : page;
      scrollRows(step);
      moveCurrent(col, std::clamp(row + step, firstRow, lastRow), extend);
      return true;
    }
    default:
      return false;
  }
}

void TGridInput::moveCurrent(std::int32_t col, std::int32_t row, bool extend) {
  // The user's keys keep out of the fixed rows, but a current cell the
  // program put on a fixed row 1 may still move along it.
  const std::int32_t topRow = std::min(FGrid.FixedRows(), FGrid.Row());
  col = std::clamp(col, FGrid.FixedCols(), FGrid.ColCount() - 1);
  row = std::clamp(row, topRow, FGrid.RowCount() - 1);
  if (col != FGrid.Col() || row != FGrid.Row()) {
    if (extend) {
      FGrid.extendTo(col, row);
    } else {
      FGrid.moveTo(col, row);
    }
  }
  followCurrent();
}

bool TGridInput::startEdit() {
  if (FGrid.EditorMode()) {
    return false;
  }
  FGrid.setEditorMode(true);
  return FGrid.EditorMode();
}

TCharResult TGridInput::charTyped(wchar_t ch) {
  if (ch == L'\r') {
    if (FGrid.EditorMode()) {
      FGrid.setEditorMode(false);
      return TCharResult::EditEnded;
    }
    return startEdit() ? TCharResult::EditStarted : TCharResult::Ignored;
  }
  if (ch == 0x1B) {
    if (FGrid.EditorMode()) {
      FGrid.setEditorMode(false);
      return TCharResult::EditEnded;
    }
    return TCharResult::Ignored;
  }
  if (ch < 0x20 || ch == 0x7F) {
    return TCharResult::Ignored;
  }
  if (FGrid.EditorMode()) {
    return TCharResult::PassToEditor;
  }
  // The cell is recorded for undo (setEditorMode asks for its text) before
  // the character replaces it.
  if (!startEdit()) {
    return TCharResult::Ignored;
  }
  FGrid.setCell(FGrid.Col(), FGrid.Row(), std::wstring(1, ch));
  return TCharResult::EditReplaced;
}

TGridCursor TGridInput::cursorAt(int x, int y) const {
  if (FSizingCol >= 0 || columnSizingAt(FGrid, x, y) >= 0) {
    return TGridCursor::SizeColumn;
  }
  if (FSizingRow >= 0 || rowSizingAt(FGrid, x, y) >= 0) {
    return TGridCursor::SizeRow;
  }
  return TGridCursor::Arrow;
}

void TGridInput::mouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::Left) {
    FHeld = true;
    FPressedData = false;
    FPressedFixed = {-1, -1};
    const TGridCoord pressed = mouseCell(FGrid, x, y);
    if (FGrid.EditorMode() && !(pressed == TGridCoord{FGrid.Col(), FGrid.Row()})) {
      // A press anywhere but on the edited cell ends the edit before it selects.
      FGrid.setEditorMode(false);
    }
    const std::int32_t sizingCol = columnSizingAt(FGrid, x, y);
    const std::int32_t sizingRow = sizingCol < 0 ? rowSizingAt(FGrid, x, y) : -1;
    if (sizingCol >= 0) {
      FSizingCol = sizingCol;
      FSizingOrigin = x;
      FSizingStart = FGrid.ColWidth(sizingCol);
    } else if (sizingRow >= 0) {
      FSizingRow = sizingRow;
      FSizingOrigin = y;
      FSizingStart = FGrid.RowHeight(sizingRow);
    } else {
      const TGridCoord cell = mouseCell(FGrid, x, y);
      if (cell.X >= FGrid.FixedCols() && cell.Y >= FGrid.FixedRows()) {
        FPressedData = FGrid.pressCell(cell.X, cell.Y);
      } else if (cell.X >= 0 && cell.Y >= 0) {
        FPressedFixed = cell;
      }
    }
  }
  if (FHooks.mouseDown) {
    FHooks.mouseDown(button, shift, x, y);
  }
}

void TGridInput::doubleClick(int x, int y) {
  if (const std::int32_t col = columnSizingAt(FGrid, x, y); col >= 0) {
    if (FMetrics != nullptr) {
      // The press before the double click began a drag of the line: it ends
      // here, or the next move would set the width back to the drag's.
      FSizingCol = -1;
      FGrid.setColWidth(col, fittedColumnWidth(FGrid, col, *FMetrics));
      keepInRange();
    }
    return;
  }
  const TGridCoord cell = mouseCell(FGrid, x, y);
  if (cell == TGridCoord{FGrid.Col(), FGrid.Row()}) {
    startEdit();
  }
}

void TGridInput::mouseMove(TShiftState shift, int x, int y) {
  if (FSizingCol >= 0) {
    FGrid.setColWidth(FSizingCol, std::max(FSizingStart + x - FSizingOrigin, kMinCellSize));
  } else if (FSizingRow >= 0) {
    FGrid.setRowHeight(FSizingRow, std::max(FSizingStart + y - FSizingOrigin, kMinCellSize));
  }
  if (FHooks.mouseMove) {
    FHooks.mouseMove(shift, x, y);
  }
}

void TGridInput::mouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::Left) {
    const bool wasSizing = resizing();
    const bool pressedData = FPressedData;
    const TGridCoord pressedFixed = FPressedFixed;
    FHeld = false;
    FPressedData = false;
    FPressedFixed = {-1, -1};
    FSizingCol = -1;
    FSizingRow = -1;
    if (wasSizing) {
      keepInRange();
    } else if (pressedFixed.X >= 0 && mouseCell(FGrid, x, y) == pressedFixed) {
      if (FHooks.fixedCellClick) {
        FHooks.fixedCellClick(pressedFixed.X, pressedFixed.Y);
      }
    } else if (pressedData) {
      FGrid.Click();
    }
  }
  if (FHooks.mouseUp) {
    FHooks.mouseUp(button, shift, x, y);
  }
}

void TGridInput::scrollTo(std::int32_t leftCol, std::int32_t topRow) {
  leftCol = std::clamp(leftCol, FGrid.FixedCols(), std::max(FGrid.FixedCols(), maxLeftCol(FGrid, FViewWidth)));
  topRow = std::clamp(topRow, FGrid.FixedRows(), std::max(FGrid.FixedRows(), maxTopRow(FGrid, FViewHeight)));
  FGrid.setLeftCol(leftCol);
  FGrid.setTopRow(topRow);
}

void TGridInput::mouseWheel(int delta) {
  FWheelRest += delta * kWheelRowsPerNotch;
  const int rows = FWheelRest / kWheelNotch;  // toward zero, either way
  FWheelRest -= rows * kWheelNotch;
  if (rows != 0) {
    scrollRows(-rows);
  }
}

void TGridInput::followCurrent() {
  const TGridCoord current{FGrid.Col(), FGrid.Row()};
  if (current == FLastCurrent) {
    return;
  }
  FLastCurrent = current;
  if (FViewWidth <= 0 || FViewHeight <= 0) {
    return;
  }
  const TGridCoord position = scrollToShow(FGrid, FViewWidth, FViewHeight, current.X, current.Y);
  scrollTo(position.X, position.Y);
}

void TGridInput::keepInRange() { scrollTo(FGrid.LeftCol(), FGrid.TopRow()); }
