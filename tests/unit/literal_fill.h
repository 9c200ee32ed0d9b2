#pragma once
// The sheet fill done the plain way, as the reference the fast fill is
// checked and measured against: for every text, every row, then every column.
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/text_metrics.h"
#include "table/bounds.h"
#include "table/mrv_records.h"
#include "sheet/string_grid.h"

inline void literalFill(TStringGrid& grid, const TTextAry& texts, const TBounds& bounds, TTextMetrics& metrics) {
  const TDblAry& tate = bounds.cols();
  const TDblAry& yoko = bounds.rows();
  if (texts.empty() || yoko.size() < 2 || tate.size() < 2) return;
  grid.setRowCount(static_cast<std::int32_t>(yoko.size()));
  grid.setColCount(static_cast<std::int32_t>(tate.size()));
  for (std::int32_t r = 0; r < grid.RowCount(); ++r) {
    for (std::int32_t c = 0; c < grid.ColCount(); ++c) {
      grid.setCell(c, r, L"");
      grid.setTag(c, r, 0);
    }
  }
  for (std::int32_t r = 1; r < grid.RowCount(); ++r) grid.setCell(0, r, std::to_wstring(r));
  for (std::int32_t c = 1; c < grid.ColCount(); ++c) grid.setCell(c, 0, std::to_wstring(c));
  double s = 0.0;
  for (const TMrvText& t : texts) {
    const double x = t.base[0];
    const double y = t.base[1];
    bool found = false;
    for (std::size_t i = 0; i + 1 < yoko.size() && !found; ++i) {
      for (std::size_t j = 0; j + 1 < tate.size() && !found; ++j) {
        if (yoko[i] > y && y > yoko[i + 1] && tate[j] < x && x < tate[j + 1]) {
          found = true;
          const auto c = static_cast<std::int32_t>(j + 1);
          const auto r = static_cast<std::int32_t>(i + 1);
          grid.setCell(c, r, t.sText);
          grid.setTag(c, r, static_cast<std::int32_t>(std::stoul(t.sHandle, nullptr, 16)));
          const int w = metrics.textWidth(t.sText) + 10;
          if (grid.ColWidth(c) <= w) {
            grid.setColWidth(c, w);
            s = (tate[j + 1] - tate[j]) / w;
          }
        }
      }
    }
  }
  if (s > 0) {
    for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
      const double q = (tate[static_cast<std::size_t>(c)] - tate[static_cast<std::size_t>(c) - 1]) / s;
      const double rounded = std::nearbyint(q);
      if (rounded + 2 < grid.DefaultColWidth()) grid.setColWidth(c, static_cast<int>(rounded) + 2);
    }
  }
}
