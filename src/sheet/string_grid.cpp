#include "sheet/string_grid.h"

#include <algorithm>

namespace {
const std::wstring kEmpty;
}

TStringGrid::TStringGrid()
    : FCells(static_cast<std::size_t>(FColCount * FRowCount)),
      FColWidths(static_cast<std::size_t>(FColCount), FDefaultColWidth),
      FRowHeights(static_cast<std::size_t>(FRowCount), FDefaultRowHeight),
      FTaggedCells(static_cast<std::size_t>(FColCount), 0),
      FColumnRevisions(static_cast<std::size_t>(FColCount), 0) {}

std::size_t TStringGrid::index(std::int32_t col, std::int32_t row) const {
  return static_cast<std::size_t>(row) * static_cast<std::size_t>(FColCount) +
         static_cast<std::size_t>(col);
}

bool TStringGrid::inSheet(std::int32_t col, std::int32_t row) const {
  return col >= 0 && row >= 0 && col < FColCount && row < FRowCount;
}

void TStringGrid::resize(std::int32_t cols, std::int32_t rows) {
  cols = std::max(cols, 1);
  rows = std::max(rows, 1);
  if (cols == FColCount && rows == FRowCount) {
    return;
  }
  std::vector<TCell> cells(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
  const std::int32_t keepCols = std::min(cols, FColCount);
  const std::int32_t keepRows = std::min(rows, FRowCount);
  for (std::int32_t r = 0; r < keepRows; ++r) {
    for (std::int32_t c = 0; c < keepCols; ++c) {
      cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)] =
          std::move(FCells[index(c, r)]);
    }
  }
  FCells = std::move(cells);
  FColWidths.resize(static_cast<std::size_t>(cols), FDefaultColWidth);
  FRowHeights.resize(static_cast<std::size_t>(rows), FDefaultRowHeight);
  FColCount = cols;
  FRowCount = rows;
  FColumnRevisions.assign(static_cast<std::size_t>(cols), ++FLastRevision);
  countTags();
  FFixedCols = std::min(FFixedCols, FColCount - 1);
  FFixedRows = std::min(FFixedRows, FRowCount - 1);
  auto clampCoord = [this](TGridCoord& p) {
    p.X = std::clamp(p.X, std::max(FFixedCols, 0), FColCount - 1);
    p.Y = std::clamp(p.Y, std::max(firstCurrentRow(), 0), FRowCount - 1);
  };
  clampCoord(FCurrent);
  clampCoord(FAnchor);
  clampScroll();
  changed();
}

void TStringGrid::setRowCount(std::int32_t rows) { resize(FColCount, rows); }
void TStringGrid::setColCount(std::int32_t cols) { resize(cols, FRowCount); }

void TStringGrid::setFixedRows(std::int32_t rows) {
  rows = std::clamp(rows, 0, FRowCount - 1);
  if (rows == FFixedRows) {
    return;
  }
  FFixedRows = rows;
  if (FCurrent.Y < FFixedRows) {
    FCurrent.Y = FFixedRows;
    FEditorMode = false;  // an edit never follows the current cell unrecorded
  }
  if (FAnchor.Y < FFixedRows) {
    FAnchor.Y = FFixedRows;
  }
  clampScroll();
  changed();
}

void TStringGrid::setFixedCols(std::int32_t cols) {
  cols = std::clamp(cols, 0, FColCount - 1);
  if (cols == FFixedCols) {
    return;
  }
  FFixedCols = cols;
  if (FCurrent.X < FFixedCols) {
    FCurrent.X = FFixedCols;
    FEditorMode = false;
  }
  if (FAnchor.X < FFixedCols) {
    FAnchor.X = FFixedCols;
  }
  clampScroll();
  changed();
}

int TStringGrid::ColWidth(std::int32_t col) const {
  if (col < 0 || col >= FColCount) {
    return FDefaultColWidth;
  }
  return FColWidths[static_cast<std::size_t>(col)];
}

int TStringGrid::RowHeight(std::int32_t row) const {
  if (row < 0 || row >= FRowCount) {
    return FDefaultRowHeight;
  }
  return FRowHeights[static_cast<std::size_t>(row)];
}

void TStringGrid::setColWidth(std::int32_t col, int width) {
  if (col < 0 || col >= FColCount) {
    return;
  }
  FColWidths[static_cast<std::size_t>(col)] = std::max(width, 0);
  changed();
}

void TStringGrid::setRowHeight(std::int32_t row, int height) {
  if (row < 0 || row >= FRowCount) {
    return;
  }
  FRowHeights[static_cast<std::size_t>(row)] = std::max(height, 0);
  changed();
}

const std::wstring& TStringGrid::Cell(std::int32_t col, std::int32_t row) const {
  if (!inSheet(col, row)) {
    return kEmpty;
  }
  return FCells[index(col, row)].text;
}

void TStringGrid::setCell(std::int32_t col, std::int32_t row, const std::wstring& text) {
  if (!inSheet(col, row)) {
    return;
  }
  FCells[index(col, row)].text = text;
  FColumnRevisions[static_cast<std::size_t>(col)] = ++FLastRevision;
  changed();
}

std::int32_t TStringGrid::Tag(std::int32_t col, std::int32_t row) const {
  if (!inSheet(col, row)) {
    return 0;
  }
  return FCells[index(col, row)].tag;
}

void TStringGrid::setTag(std::int32_t col, std::int32_t row, std::int32_t tag) {
  if (!inSheet(col, row)) {
    return;
  }
  std::int32_t& held = FCells[index(col, row)].tag;
  if (row > 0) {
    FTaggedCells[static_cast<std::size_t>(col)] += (tag != 0 ? 1 : 0) - (held != 0 ? 1 : 0);
  }
  held = tag;
  FColumnRevisions[static_cast<std::size_t>(col)] = ++FLastRevision;
}

std::uint64_t TStringGrid::columnRevision(std::int32_t col) const {
  if (col < 0 || col >= FColCount) {
    return 0;
  }
  return FColumnRevisions[static_cast<std::size_t>(col)];
}

std::int32_t TStringGrid::taggedCells(std::int32_t col) const {
  if (col < 0 || col >= FColCount) {
    return 0;
  }
  return FTaggedCells[static_cast<std::size_t>(col)];
}

void TStringGrid::countTags() {
  FTaggedCells.assign(static_cast<std::size_t>(FColCount), 0);
  for (std::int32_t row = 1; row < FRowCount; ++row) {
    for (std::int32_t col = 0; col < FColCount; ++col) {
      if (FCells[index(col, row)].tag != 0) {
        ++FTaggedCells[static_cast<std::size_t>(col)];
      }
    }
  }
}

bool TStringGrid::selectCell(std::int32_t col, std::int32_t row) {
  bool canSelect = true;
  if (OnSelectCell) {
    OnSelectCell(col, row, canSelect);
  }
  return canSelect;
}

void TStringGrid::moveTo(std::int32_t col, std::int32_t row) {
  col = std::clamp(col, FFixedCols, FColCount - 1);
  row = std::clamp(row, firstCurrentRow(), FRowCount - 1);
  if (!selectCell(col, row)) {
    return;
  }
  const bool moved = !(FCurrent == TGridCoord{col, row});
  FCurrent = {col, row};
  FAnchor = FCurrent;
  if (moved && FEditorMode && OnGetEditText) {
    // The open editor moves with the current cell and takes up its text.
    OnGetEditText(col, row);
  }
  changed();
  if (OnClick) {
    OnClick();
  }
}

bool TStringGrid::pressCell(std::int32_t col, std::int32_t row) {
  col = std::clamp(col, FFixedCols, FColCount - 1);
  row = std::clamp(row, FFixedRows, FRowCount - 1);
  if (!selectCell(col, row)) {
    return false;
  }
  FCurrent = {col, row};
  FAnchor = FCurrent;
  changed();
  return true;
}

void TStringGrid::extendTo(std::int32_t col, std::int32_t row) {
  col = std::clamp(col, FFixedCols, FColCount - 1);
  row = std::clamp(row, firstCurrentRow(), FRowCount - 1);
  if (!selectCell(col, row)) {
    return;
  }
  FCurrent = {col, row};
  changed();
  if (OnClick) {
    OnClick();
  }
}

void TStringGrid::clampScroll() {
  FTopRow = std::clamp(FTopRow, FFixedRows, std::max(FFixedRows, FRowCount - 1));
  FLeftCol = std::clamp(FLeftCol, FFixedCols, std::max(FFixedCols, FColCount - 1));
}

void TStringGrid::setTopRow(std::int32_t row) {
  const std::int32_t old = FTopRow;
  FTopRow = row;
  clampScroll();
  if (FTopRow != old) {
    changed();
  }
}

void TStringGrid::setLeftCol(std::int32_t col) {
  const std::int32_t old = FLeftCol;
  FLeftCol = col;
  clampScroll();
  if (FLeftCol != old) {
    changed();
  }
}

void TStringGrid::setCol(std::int32_t col) { moveTo(col, FCurrent.Y); }
void TStringGrid::setRow(std::int32_t row) { moveTo(FCurrent.X, row); }

TGridRect TStringGrid::Selection() const {
  return {std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y),
          std::max(FAnchor.X, FCurrent.X), std::max(FAnchor.Y, FCurrent.Y)};
}

void TStringGrid::setSelection(TGridCoord anchor, TGridCoord current) {
  if (!(current == FCurrent)) {
    // The editor takes up a cell's text only through a move; a block set
    // directly ends the edit instead of carrying it, unrecorded, to the new cell.
    FEditorMode = false;
  }
  FAnchor = anchor;
  FCurrent = current;
  changed();
}

void TStringGrid::setEditorMode(bool on) {
  if (on == FEditorMode || (on && OnCanEdit && !OnCanEdit())) {
    return;
  }
  if (on && OnGetEditText) {
    // The editor takes up the cell's text: the cell is recorded first.
    OnGetEditText(FCurrent.X, FCurrent.Y);
  }
  FEditorMode = on;
  changed();
}

void TStringGrid::beginUpdate() { ++FUpdateDepth; }

void TStringGrid::endUpdate() {
  if (FUpdateDepth == 0) {
    return;
  }
  if (--FUpdateDepth == 0 && FChangedWhileUpdating) {
    FChangedWhileUpdating = false;
    if (OnChange) {
      OnChange();
    }
  }
}

void TStringGrid::invalidate() { changed(); }

void TStringGrid::changed() {
  if (FUpdateDepth > 0) {
    FChangedWhileUpdating = true;
    return;
  }
  if (OnChange) {
    OnChange();
  }
}
