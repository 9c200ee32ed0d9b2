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

void addCornerMark(TCellLook& look, const TCellRect& rect, std::uint32_t color, TMarkShape shape) {
  look.mark = true;
  look.markColor = color;
  look.markShape = shape;
  look.textRect.right = std::min(look.textRect.right, rect.right - kMarkSize);
}

void addLeftMark(TCellLook& look, std::uint32_t color) {
  look.leftMark = true;
  look.leftMarkColor = color;
}

std::vector<TMarkRun> markRuns(TMarkShape shape, const TCellRect& cell) {
  const int width = cell.right - cell.left;
  const int height = cell.bottom - cell.top;
  const int size = std::min({kMarkSize, width, height});
  std::vector<TMarkRun> runs;
  if (size < 2) {
    return runs;
  }
  const int middle = cell.top + height / 2;
  switch (shape) {
    case TMarkShape::TopCorner:
      for (int i = 0; i < size; ++i) runs.push_back({cell.top + i, cell.right - size + i, cell.right});
      break;
    case TMarkShape::BottomCorner:
      for (int i = size - 1; i >= 0; --i) runs.push_back({cell.bottom - 1 - i, cell.right - size + i, cell.right});
      break;
    case TMarkShape::EdgeBar: {
      const int bar = std::min(4, size);
      for (int y = cell.top; y < cell.bottom; ++y) runs.push_back({y, cell.right - bar, cell.right});
      break;
    }
    case TMarkShape::MiddleSquare: {
      const int side = size - 1;  // coloured pixels, each line behind its white one
      for (int i = 0; i < side - 1; ++i) {
        runs.push_back({middle - (side - 1) / 2 + i, cell.right - side, cell.right});
      }
      break;
    }
    case TMarkShape::MiddleArrow: {
      const int reach = (size - 1) / 2;  // lines above and below the tip's
      for (int d = -reach; d <= reach; ++d) {
        const int length = size - 2 * (d < 0 ? -d : d);
        if (middle + d >= cell.top && middle + d < cell.bottom) {
          runs.push_back({middle + d, cell.right - length, cell.right});
        }
      }
      break;
    }
    case TMarkShape::LeftCorner:
      // A size smaller than the right corners: its top line ends where the
      // text starts (kTextMargin in), and the lines level with the glyphs are
      // short of it.
      for (int i = 0; i < size - 2; ++i) runs.push_back({cell.top + i, cell.left, cell.left + size - 1 - i});
      break;
    case TMarkShape::TopBar:
      for (int i = 0; i < std::min(3, size); ++i) runs.push_back({cell.top + i, cell.right - size, cell.right});
      break;
  }
  return runs;
}
