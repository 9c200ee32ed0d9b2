#include "sheet/cell_look.h"

#include <algorithm>

bool isHeaderCell(const TStringGrid& grid, std::int32_t col, std::int32_t row) {
  return col < grid.FixedCols() || row < grid.FixedRows();
}

TCellLook normalCellLook(const TStringGrid& grid, std::int32_t col, std::int32_t row,
                         const TCellRect& rect, TDrawState state) {
  TCellLook look;
  look.fillRect = rect;
  look.textRect = {rect.left + kTextMargin, rect.top, rect.right, rect.bottom};
  if (isHeaderCell(grid, col, row)) {
    look.fill = TCellFill::Header;
    // Row 1 can be current while it is fixed (Enter's wrap, undo): it shows where the cell is.
    look.focusFrame = state.current && state.focused && !state.editing;
    return look;
  }
  if (state.editing) {
    return look;
  }
  const bool focusedCurrent = state.current && state.focused;
  if (state.selected && !focusedCurrent) {
    look.fill = TCellFill::Highlight;
    look.highlightText = true;
  }
  look.focusFrame = focusedCurrent;
  return look;
}

bool columnHasTag(const TStringGrid& grid, std::int32_t col) { return grid.taggedCells(col) > 0; }

void addCornerMark(TCellLook& look, const TCellRect& rect, std::uint32_t color) {
  look.mark = true;
  look.markColor = color;
  look.textRect.right = std::min(look.textRect.right, rect.right - kMarkSize);
}
