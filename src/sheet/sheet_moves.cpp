#include "sheet/sheet_moves.h"

#include <algorithm>

std::optional<TBlockSelection> headerClickSelection(const TStringGrid& grid, std::int32_t col,
                                                    std::int32_t row) {
  const std::int32_t firstCol = grid.FixedCols();
  const std::int32_t firstRow = grid.FixedRows();
  const std::int32_t lastCol = grid.ColCount() - 1;
  const std::int32_t lastRow = grid.RowCount() - 1;
  if (firstCol > lastCol || firstRow > lastRow) {
    return std::nullopt;
  }
  if (col == 0 && row == 0) {
    return TBlockSelection{{firstCol, firstRow}, {lastCol, lastRow}};
  }
  // A row header selects its row, row 1 included while it is fixed.
  if (col == 0 && row >= grid.firstCurrentRow() && row <= lastRow) {
    return TBlockSelection{{firstCol, row}, {lastCol, row}};
  }
  if (row == 0 && col >= firstCol && col <= lastCol) {
    return TBlockSelection{{col, firstRow}, {col, lastRow}};
  }
  return std::nullopt;
}

namespace {

// A step onto the cell that is current already is no move: it asks nothing
// of the selection handler and runs no Locate. Row 1 is a step's target even
// while it is fixed.
void stepToRow(TStringGrid& grid, std::int32_t row) {
  if (row != grid.Row()) {
    grid.setRow(row);
  }
}

void stepToCol(TStringGrid& grid, std::int32_t col) {
  if (std::max(col, grid.FixedCols()) != grid.Col()) {
    grid.setCol(col);
  }
}

}  // namespace

void moveByEnter(TStringGrid& grid, bool downward) {
  const std::int32_t lastCol = grid.ColCount() - 1;
  const std::int32_t lastRow = grid.RowCount() - 1;
  if (downward) {
    if (grid.Row() < lastRow) {
      grid.setRow(grid.Row() + 1);
    } else if (grid.Col() < lastCol) {
      stepToRow(grid, 1);
      grid.setCol(grid.Col() + 1);
    }
    return;
  }
  if (grid.Col() < lastCol) {
    grid.setCol(grid.Col() + 1);
  } else if (grid.Row() < lastRow) {
    grid.setRow(grid.Row() + 1);
    stepToCol(grid, 1);
  }
}
