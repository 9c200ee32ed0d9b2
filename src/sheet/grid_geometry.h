#pragma once
// Where the sheet's cells lie in the control's client area. Fixed rows and
// columns stay at the top and left; the others start at TopRow / LeftCol.
// Each cell is followed by a grid line one pixel wide, to its right and below
// it; the line counts as part of the cell for hit testing.
#include <cstdint>
#include <optional>

#include "sheet/string_grid.h"

inline constexpr int kGridLineWidth = 1;
// How near (in pixels) to a line between header cells a press resizes.
inline constexpr int kResizeGrip = 2;

// The left edge of a column, or nullopt for a column scrolled out of view
// (between the fixed columns and LeftCol) or outside the sheet.
std::optional<int> columnLeft(const TStringGrid& grid, std::int32_t col);
std::optional<int> rowTop(const TStringGrid& grid, std::int32_t row);
// The cell's own rectangle without its grid lines (right and bottom exclusive),
// or nullopt when the cell is scrolled out of view.
std::optional<TCellRect> cellRect(const TStringGrid& grid, std::int32_t col, std::int32_t row);

// The cell under a point; X (Y) is -1 when the point lies in no column (row).
TGridCoord mouseCell(const TStringGrid& grid, int x, int y);

// Width of the fixed columns and height of the fixed rows, lines included.
int fixedWidth(const TStringGrid& grid);
int fixedHeight(const TStringGrid& grid);

// The scrolling cells that show, at least in part, in a client area of
// width x height, and how many of them show whole (at least 1 when any show).
struct TVisibleRange {
  std::int32_t firstCol = 0;
  std::int32_t lastCol = -1;
  std::int32_t firstRow = 0;
  std::int32_t lastRow = -1;
  std::int32_t wholeCols = 0;
  std::int32_t wholeRows = 0;
};
TVisibleRange visibleRange(const TStringGrid& grid, int width, int height);

// The largest TopRow (LeftCol) that still fills the view: from it on, the
// last row (column) shows whole at the bottom (right).
std::int32_t maxTopRow(const TStringGrid& grid, int height);
std::int32_t maxLeftCol(const TStringGrid& grid, int width);

// The scroll position (X = LeftCol, Y = TopRow) that brings cell (col, row)
// into view with the least scrolling.
TGridCoord scrollToShow(const TStringGrid& grid, int width, int height, std::int32_t col,
                        std::int32_t row);

// The column whose right-hand line lies under x while y is in the header
// rows, the one a press there resizes; -1 for none. Likewise for rows, with
// x in the header columns.
std::int32_t columnSizingAt(const TStringGrid& grid, int x, int y);
std::int32_t rowSizingAt(const TStringGrid& grid, int x, int y);
