#pragma once
// Selections and moves the sheet's handlers make: what a header click
// selects, and where Enter takes the current cell.
#include <cstdint>
#include <optional>

#include "sheet/string_grid.h"

struct TBlockSelection {
  TGridCoord anchor;   // top-left corner
  TGridCoord current;  // bottom-right corner
};

// The block a click on header cell (col, row) selects: (0, 0) every data
// cell, (0, r) data row r, (c, 0) data column c; nullopt for any other
// header cell, and for the header column's part of a row that is fixed (row
// 1 while it stays as a second header): a fixed row is never selected.
std::optional<TBlockSelection> headerClickSelection(const TStringGrid& grid, std::int32_t col,
                                                    std::int32_t row);

// Enter: one cell down (downward) or right, wrapping to the top of the next
// column or the start of the next row; the last cell stays. Each single step
// is a move of the current cell of its own. Row 1 is the top of a column; while
// it is fixed the grid keeps the current cell in the first data row below it.
void moveByEnter(TStringGrid& grid, bool downward);
