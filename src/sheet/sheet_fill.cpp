#include "sheet/sheet_fill.h"

#include <cmath>

#include "table/cell_placement.h"
#include "table/cell_tag.h"

namespace {

// Narrowed column widths are small integers; a huge or negative quotient
// (only possible with unsorted boundaries) must not overflow the cast.
int narrowWidth(double units, double scale) {
  const double pixels = std::nearbyint(units / scale);  // ties to even in the default rounding mode
  if (!(pixels < 1.0e6)) return 1000000;
  if (pixels < -1.0e6) return -1000000;
  return static_cast<int>(pixels) + 2;
}

}  // namespace

void clearSheet(TStringGrid& grid) {
  static const std::wstring kEmpty;
  for (std::int32_t r = 0; r < grid.RowCount(); ++r) {
    for (std::int32_t c = 0; c < grid.ColCount(); ++c) {
      grid.setCell(c, r, kEmpty);
      grid.setTag(c, r, 0);
    }
  }
}

THiddenTexts fillSheet(TStringGrid& grid, const TTextAry& texts, const TBounds& bounds, TTextMetrics& metrics) {
  TPlacement placed = placeTexts(texts, bounds);
  if (texts.empty() || !bounds.spansCells()) {
    return std::move(placed.hidden);
  }
  const TDblAry& cols = bounds.cols();
  // Repainting stays suspended for the whole fill and resumes however it ends,
  // a bad handle included.
  const TStringGrid::TUpdateScope updating(grid);
  grid.setRowCount(static_cast<std::int32_t>(bounds.rows().size()));
  grid.setColCount(static_cast<std::int32_t>(cols.size()));
  clearSheet(grid);
  for (std::int32_t r = 1; r < grid.RowCount(); ++r) {
    grid.setCell(0, r, std::to_wstring(r));
  }
  for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
    grid.setCell(c, 0, std::to_wstring(c));
  }

  double scale = 0.0;  // drawing units per pixel of the last column widened
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const TCellHit hit = placed.cells[i];
    if (hit.col == 0) {
      continue;
    }
    const TMrvText& t = texts[i];
    // The handle is read before the cell is touched: a bad one leaves the cell
    // as it was, never a new text beside the tag of another (Update would
    // then rewrite the wrong drawing text) or an untagged drawing text (Update
    // would create a duplicate of it).
    const std::int32_t tag = handleToTag(t.sHandle);
    grid.setCell(hit.col, hit.row, t.sText);
    grid.setTag(hit.col, hit.row, tag);
    const int w = metrics.textWidth(t.sText) + kTextWidthMargin;
    if (grid.ColWidth(hit.col) <= w) {
      grid.setColWidth(hit.col, w);
      const std::size_t j = static_cast<std::size_t>(hit.col - 1);
      scale = (cols[j + 1] - cols[j]) / w;
    }
  }

  if (scale > 0.0) {
    for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
      const std::size_t cc = static_cast<std::size_t>(c);
      const int w = narrowWidth(cols[cc] - cols[cc - 1], scale);
      if (w < grid.DefaultColWidth()) {
        grid.setColWidth(c, w);
      }
    }
  }
  return std::move(placed.hidden);
}
