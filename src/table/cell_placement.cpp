#include "table/cell_placement.h"

#include <algorithm>
#include <unordered_map>

namespace {

// A text that falls into no cell lies on a ruling line when its anchor is
// within the table's extent, boundaries included, and outside it otherwise
// (a NaN coordinate included).
THiddenReason missReason(double x, double y, const TBounds& bounds) {
  const auto [left, right] = std::minmax_element(bounds.cols().begin(), bounds.cols().end());
  const auto [bottom, top] = std::minmax_element(bounds.rows().begin(), bounds.rows().end());
  const bool within = *left <= x && x <= *right && *bottom <= y && y <= *top;
  return within ? THiddenReason::OnRuling : THiddenReason::Outside;
}

std::int64_t cellKey(const TCellHit& hit) {
  return (static_cast<std::int64_t>(hit.row) << 32) | static_cast<std::uint32_t>(hit.col);
}

}  // namespace

TPlacement placeTexts(const TTextAry& texts, const TBounds& bounds) {
  TPlacement placed;
  placed.cells.assign(texts.size(), TCellHit{});
  if (texts.empty() || !bounds.spansCells()) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      placed.hidden.add({texts[i], i, THiddenReason::Outside, 0, 0, {}});
    }
    return placed;
  }
  // The text each occupied cell shows so far, by its index in `texts`.
  std::unordered_map<std::int64_t, std::size_t> shown;
  std::vector<std::size_t> covered;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const TMrvText& t = texts[i];
    const std::int32_t row = bounds.rowOf(t.base[1]);
    const std::int32_t col = row < 0 ? -1 : bounds.columnOf(t.base[0]);
    if (col < 0) {
      placed.hidden.add({t, i, missReason(t.base[0], t.base[1], bounds), 0, 0, {}});
      continue;
    }
    const TCellHit hit{col + 1, row + 1};
    placed.cells[i] = hit;
    if (const auto [place, isNew] = shown.try_emplace(cellKey(hit), i); !isNew) {
      covered.push_back(place->second);
      place->second = i;
    }
  }
  for (const std::size_t index : covered) {
    const TCellHit hit = placed.cells[index];
    placed.hidden.add(
        {texts[index], index, THiddenReason::Covered, hit.col, hit.row, texts[shown.at(cellKey(hit))].sText});
  }
  placed.hidden.sortByIndex();
  return placed;
}
