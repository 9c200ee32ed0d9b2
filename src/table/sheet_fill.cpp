#include "table/sheet_fill.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "platform/errors.h"

namespace {

// Widths of the columns narrowed to their drawn size are small integers; a huge or negative quotient
// (only possible with unsorted boundaries) must not overflow the cast.
int narrowWidth(double units, double scale) {
  const double pixels = std::nearbyint(units / scale);  // ties to even in the default rounding mode
  if (!(pixels < 1.0e6)) return 1000000;
  if (pixels < -1.0e6) return -1000000;
  return static_cast<int>(pixels) + 2;
}

// A text that falls into no cell lies on a ruling line when its anchor is
// within the table's extent, boundaries included, and outside it otherwise
// (a NaN coordinate included).
THiddenReason missReason(double x, double y, const TDblAry& yoko, const TDblAry& tate) {
  if (yoko.size() < 2 || tate.size() < 2) return THiddenReason::Outside;
  const auto [bottom, top] = std::minmax_element(yoko.begin(), yoko.end());
  const auto [left, right] = std::minmax_element(tate.begin(), tate.end());
  const bool within = *left <= x && x <= *right && *bottom <= y && y <= *top;
  return within ? THiddenReason::OnRuling : THiddenReason::Outside;
}

std::int64_t cellKey(const TCellHit& hit) {
  return (static_cast<std::int64_t>(hit.row) << 32) | static_cast<std::uint32_t>(hit.col);
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

// The plain search scans rows i ascending and, within each, columns j
// ascending for the first pair with YokoAry[i] > y > YokoAry[i+1] and
// TateAry[j] < x < TateAry[j+1]. The row test does not depend on j nor the
// column test on i, so that first pair is (first matching i, first matching
// j), and there is none when either has no match: each axis is searched alone.
//
// Along an axis sorted the way sortBounds leaves it (non-increasing YokoAry,
// non-decreasing TateAry; strictly after a merge with a positive tolerance,
// but ties change nothing here) the open intervals between neighbours are
// disjoint, so at most one index matches: with k the number of leading values
// strictly beyond the coordinate (a prefix, found by binary search), only
// k - 1 can match, and it does exactly when value k lies strictly on the other
// side. An equal value or a NaN coordinate gives no match, as the strict tests
// do. Arrays not so ordered (a NaN among them, or set by hand) are scanned
// linearly, which is the plain search itself. Acquire always runs sortBounds
// before the fill, also when it keeps the previous boundaries because no line
// was selected (they are merged once more), so in the program the binary
// search is the path taken.
TCellLocator::TCellLocator(const TDblAry& yoko, const TDblAry& tate) : FYoko(yoko), FTate(tate) {
  FYokoMonotone = true;
  for (std::size_t i = 1; i < yoko.size(); ++i) {
    FYokoMonotone = FYokoMonotone && yoko[i - 1] >= yoko[i];
  }
  FTateMonotone = true;
  for (std::size_t i = 1; i < tate.size(); ++i) {
    FTateMonotone = FTateMonotone && tate[i - 1] <= tate[i];
  }
}

std::int32_t TCellLocator::findRow(double y) const {
  const std::size_t n = FYoko.size();
  if (n < 2) return -1;
  if (!FYokoMonotone) {
    for (std::size_t i = 0; i + 1 < n; ++i) {
      if (FYoko[i] > y && y > FYoko[i + 1]) return static_cast<std::int32_t>(i);
    }
    return -1;
  }
  const auto split = std::partition_point(FYoko.begin(), FYoko.end(), [y](double v) { return v > y; });
  const std::size_t k = static_cast<std::size_t>(split - FYoko.begin());
  if (k == 0 || k >= n || !(y > FYoko[k])) return -1;
  return static_cast<std::int32_t>(k - 1);
}

std::int32_t TCellLocator::findCol(double x) const {
  const std::size_t n = FTate.size();
  if (n < 2) return -1;
  if (!FTateMonotone) {
    for (std::size_t j = 0; j + 1 < n; ++j) {
      if (FTate[j] < x && x < FTate[j + 1]) return static_cast<std::int32_t>(j);
    }
    return -1;
  }
  const auto split = std::partition_point(FTate.begin(), FTate.end(), [x](double v) { return v < x; });
  const std::size_t k = static_cast<std::size_t>(split - FTate.begin());
  if (k == 0 || k >= n || !(x < FTate[k])) return -1;
  return static_cast<std::int32_t>(k - 1);
}

TCellHit TCellLocator::find(double x, double y) const {
  const std::int32_t i = findRow(y);
  if (i < 0) return {};
  const std::int32_t j = findCol(x);
  if (j < 0) return {};
  return {j + 1, i + 1};
}

THiddenTexts fillSheet(TStringGrid& grid, const TTextAry& texts, const TDblAry& yoko, const TDblAry& tate,
                       TTextMetrics& metrics) {
  THiddenTexts hidden;
  if (texts.empty() || yoko.size() < 2 || tate.size() < 2) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      hidden.add({texts[i], i, THiddenReason::Outside, 0, 0, {}});
    }
    return hidden;
  }
  // Repainting stays suspended for the whole fill and resumes however it ends,
  // a bad handle included.
  const TStringGrid::TUpdateScope updating(grid);
  grid.setRowCount(static_cast<std::int32_t>(yoko.size()));
  grid.setColCount(static_cast<std::int32_t>(tate.size()));
  clearSheet(grid);
  for (std::int32_t r = 1; r < grid.RowCount(); ++r) {
    grid.setCell(0, r, std::to_wstring(r));
  }
  for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
    grid.setCell(c, 0, std::to_wstring(c));
  }

  const TCellLocator locator(yoko, tate);
  double scale = 0.0;  // drawing units per pixel of the last column widened
  // The text each occupied cell shows so far, by its index in `texts`.
  std::unordered_map<std::int64_t, std::size_t> shown;
  std::vector<std::pair<std::size_t, TCellHit>> covered;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const TMrvText& t = texts[i];
    const TCellHit hit = locator.find(t.base[0], t.base[1]);
    if (hit.col == 0) {
      hidden.add({t, i, missReason(t.base[0], t.base[1], yoko, tate), 0, 0, {}});
      continue;
    }
    // The handle is read before the cell is touched: a bad one leaves the cell
    // as it was, never a new text beside the tag of another (Update would
    // then rewrite the wrong drawing text) or an untagged drawing text (Update
    // would create a duplicate of it).
    const std::int32_t tag = handleToTag(t.sHandle);
    grid.setCell(hit.col, hit.row, t.sText);
    grid.setTag(hit.col, hit.row, tag);
    if (const auto [place, isNew] = shown.try_emplace(cellKey(hit), i); !isNew) {
      covered.push_back({place->second, hit});
      place->second = i;
    }
    const int w = metrics.textWidth(t.sText) + kTextWidthMargin;
    if (grid.ColWidth(hit.col) <= w) {
      grid.setColWidth(hit.col, w);
      const std::size_t j = static_cast<std::size_t>(hit.col - 1);
      scale = (tate[j + 1] - tate[j]) / w;
    }
  }

  if (scale > 0.0) {
    for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
      const std::size_t cc = static_cast<std::size_t>(c);
      const int w = narrowWidth(tate[cc] - tate[cc - 1], scale);
      if (w < grid.DefaultColWidth()) {
        grid.setColWidth(c, w);
      }
    }
  }
  for (const auto& [index, hit] : covered) {
    hidden.add({texts[index], index, THiddenReason::Covered, hit.col, hit.row, texts[shown.at(cellKey(hit))].sText});
  }
  hidden.sortByIndex();
  return hidden;
}
