#include "sheet/column_fit.h"

#include <algorithm>

#include "sheet/cell_look.h"
#include "sheet/sheet_fill.h"

int fittedColumnWidth(const TStringGrid& grid, std::int32_t col, TTextMetrics& metrics) {
  int widest = 0;
  for (std::int32_t row = 0; row < grid.RowCount(); ++row) {
    const std::wstring& text = grid.Cell(col, row);
    if (!text.empty()) {
      widest = std::max(widest, metrics.textWidth(text));
    }
  }
  // The corner mark of a pending cell takes its width off the text's room.
  return widest + kTextWidthMargin + kMarkSize;
}
