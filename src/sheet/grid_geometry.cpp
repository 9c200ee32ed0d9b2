#include "sheet/grid_geometry.h"

#include <algorithm>

namespace {

// One direction of the sheet: columns or rows.
struct TAxis {
  const TStringGrid& grid;
  bool columns;

  std::int32_t count() const { return columns ? grid.ColCount() : grid.RowCount(); }
  std::int32_t fixed() const { return columns ? grid.FixedCols() : grid.FixedRows(); }
  std::int32_t first() const { return columns ? grid.LeftCol() : grid.TopRow(); }
  int extent(std::int32_t i) const { return (columns ? grid.ColWidth(i) : grid.RowHeight(i)) + kGridLineWidth; }
  int size(std::int32_t i) const { return columns ? grid.ColWidth(i) : grid.RowHeight(i); }

  int fixedExtent() const {
    int pos = 0;
    for (std::int32_t i = 0; i < fixed(); ++i) {
      pos += extent(i);
    }
    return pos;
  }

  std::optional<int> start(std::int32_t index) const {
    if (index < 0 || index >= count()) {
      return std::nullopt;
    }
    int pos = 0;
    if (index < fixed()) {
      for (std::int32_t i = 0; i < index; ++i) {
        pos += extent(i);
      }
      return pos;
    }
    if (index < first()) {
      return std::nullopt;
    }
    pos = fixedExtent();
    for (std::int32_t i = first(); i < index; ++i) {
      pos += extent(i);
    }
    return pos;
  }

  std::int32_t at(int pos) const {
    if (pos < 0) {
      return -1;
    }
    int edge = 0;
    for (std::int32_t i = 0; i < fixed(); ++i) {
      edge += extent(i);
      if (pos < edge) {
        return i;
      }
    }
    for (std::int32_t i = first(); i < count(); ++i) {
      edge += extent(i);
      if (pos < edge) {
        return i;
      }
    }
    return -1;
  }

  // The scrolling items in a view `length` long: first, last partly shown,
  // and how many show whole.
  void visible(int length, std::int32_t& firstShown, std::int32_t& lastShown, std::int32_t& whole) const {
    firstShown = first();
    lastShown = first() - 1;
    whole = 0;
    int edge = fixedExtent();
    for (std::int32_t i = first(); i < count() && edge < length; ++i) {
      lastShown = i;
      edge += extent(i);
      if (edge <= length + kGridLineWidth) {
        ++whole;
      }
    }
    if (whole == 0 && lastShown >= firstShown) {
      whole = 1;
    }
  }

  std::int32_t maxFirst(int length) const {
    const int room = length - fixedExtent();
    std::int32_t best = count() - 1;
    int used = 0;
    for (std::int32_t i = count() - 1; i >= fixed(); --i) {
      used += extent(i);
      if (used > room + kGridLineWidth) {
        break;
      }
      best = i;
    }
    return std::max(best, fixed());
  }

  std::int32_t firstToShow(int length, std::int32_t index) const {
    if (index < fixed()) {
      return first();
    }
    if (index < first()) {
      return index;
    }
    // Scroll forward until the item ends inside the view.
    const int room = length - fixedExtent();
    int used = 0;
    for (std::int32_t i = first(); i <= index; ++i) {
      used += extent(i);
    }
    std::int32_t newFirst = first();
    while (used > room + kGridLineWidth && newFirst < index) {
      used -= extent(newFirst);
      ++newFirst;
    }
    return newFirst;
  }

  std::int32_t sizingAt(int pos) const {
    int edge = 0;
    auto near = [pos](int line) { return pos >= line - kResizeGrip && pos <= line + kResizeGrip; };
    for (std::int32_t i = 0; i < fixed(); ++i) {
      edge += size(i);
      if (near(edge)) {
        return i;
      }
      edge += kGridLineWidth;
    }
    for (std::int32_t i = first(); i < count(); ++i) {
      edge += size(i);
      if (near(edge)) {
        return i;
      }
      edge += kGridLineWidth;
      if (edge > pos + kResizeGrip) {
        break;
      }
    }
    return -1;
  }
};

}  // namespace

std::optional<int> columnLeft(const TStringGrid& grid, std::int32_t col) { return TAxis{grid, true}.start(col); }
std::optional<int> rowTop(const TStringGrid& grid, std::int32_t row) { return TAxis{grid, false}.start(row); }

std::optional<TCellRect> cellRect(const TStringGrid& grid, std::int32_t col, std::int32_t row) {
  const std::optional<int> left = columnLeft(grid, col);
  const std::optional<int> top = rowTop(grid, row);
  if (!left || !top) {
    return std::nullopt;
  }
  return TCellRect{*left, *top, *left + grid.ColWidth(col), *top + grid.RowHeight(row)};
}

TGridCoord mouseCell(const TStringGrid& grid, int x, int y) {
  return {TAxis{grid, true}.at(x), TAxis{grid, false}.at(y)};
}

int fixedWidth(const TStringGrid& grid) { return TAxis{grid, true}.fixedExtent(); }
int fixedHeight(const TStringGrid& grid) { return TAxis{grid, false}.fixedExtent(); }

TVisibleRange visibleRange(const TStringGrid& grid, int width, int height) {
  TVisibleRange range;
  TAxis{grid, true}.visible(width, range.firstCol, range.lastCol, range.wholeCols);
  TAxis{grid, false}.visible(height, range.firstRow, range.lastRow, range.wholeRows);
  return range;
}

std::int32_t maxTopRow(const TStringGrid& grid, int height) { return TAxis{grid, false}.maxFirst(height); }
std::int32_t maxLeftCol(const TStringGrid& grid, int width) { return TAxis{grid, true}.maxFirst(width); }

TGridCoord scrollToShow(const TStringGrid& grid, int width, int height, std::int32_t col, std::int32_t row) {
  return {TAxis{grid, true}.firstToShow(width, col), TAxis{grid, false}.firstToShow(height, row)};
}

std::int32_t columnSizingAt(const TStringGrid& grid, int x, int y) {
  if (y < 0 || y >= fixedHeight(grid)) {
    return -1;
  }
  return TAxis{grid, true}.sizingAt(x);
}

std::int32_t rowSizingAt(const TStringGrid& grid, int x, int y) {
  if (x < 0 || x >= fixedWidth(grid)) {
    return -1;
  }
  return TAxis{grid, false}.sizingAt(y);
}
