#include "writeback/pending_cells.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

bool strictlyAscending(const TDblAry& values) {
  for (std::size_t k = 0; k + 1 < values.size(); ++k) {
    if (!(values[k] < values[k + 1])) return false;
  }
  return true;
}

bool strictlyDescending(const TDblAry& values) {
  for (std::size_t k = 0; k + 1 < values.size(); ++k) {
    if (!(values[k] > values[k + 1])) return false;
  }
  return true;
}

// colIndexOf by halving, for boundaries in strict ascending order: then at
// most one interval holds x, and it is the one the scan finds first.
std::int32_t sortedColIndexOf(const TDblAry& tate, double x) {
  if (tate.size() < 2 || std::isnan(x)) return -1;
  const auto above = std::lower_bound(tate.begin(), tate.end(), x);  // first boundary >= x
  if (above == tate.begin() || above == tate.end() || !(x < *above)) return -1;
  return static_cast<std::int32_t>(above - tate.begin()) - 1;
}

// rowIndexOf likewise, for boundaries in strict descending order.
std::int32_t sortedRowIndexOf(const TDblAry& yoko, double y) {
  if (yoko.size() < 2 || std::isnan(y)) return -1;
  const auto below = std::lower_bound(yoko.begin(), yoko.end(), y, std::greater<double>());  // first <= y
  if (below == yoko.begin() || below == yoko.end() || !(*below < y)) return -1;
  return static_cast<std::int32_t>(below - yoko.begin()) - 1;
}

void tally(TPendingCounts& counts, TPending kind) {
  switch (kind) {
    case TPending::Edit: ++counts.edits; break;
    case TPending::Add: ++counts.additions; break;
    case TPending::Delete: ++counts.deletions; break;
    case TPending::Unwritable: ++counts.unwritable; break;
    case TPending::DrawingChanged: ++counts.drawingChanged; break;
    case TPending::None: break;
  }
}

}  // namespace

TPending classifyCell(std::int32_t tag, const std::wstring& text, const TMrvText* record, bool hasTemplate) {
  if (tag != 0) {
    // A tag whose record is gone, or a text as recorded, is left alone; so
    // is one whose drawing text was changed in the CAD, whatever the cell
    // holds, and it keeps a mark of its own.
    if (record == nullptr) return TPending::None;
    if (record->drawingChanged) return TPending::DrawingChanged;
    if (text == record->sText) return TPending::None;
    return text.empty() ? TPending::Delete : TPending::Edit;
  }
  if (text.empty()) return TPending::None;
  return hasTemplate ? TPending::Add : TPending::Unwritable;
}

std::optional<TAnchorOffset> anchorOffset(const TMrvText& text, const TDblAry& tate, const TDblAry& yoko) {
  const double x = text.base[0];
  const double y = text.base[1];
  const std::int32_t ci = colIndexOf(tate, x);
  const std::int32_t ri = rowIndexOf(yoko, y);
  if (ci < 0 || ri < 0) return std::nullopt;
  return TAnchorOffset{x - tate[static_cast<std::size_t>(ci)], y - yoko[static_cast<std::size_t>(ri)]};
}

std::wstring pendingStatusText(const TPendingCounts& counts) {
  if (counts.total() == 0) return {};
  std::wstring text = L"編集 " + std::to_wstring(counts.edits) + L" / 追加 " + std::to_wstring(counts.additions) +
                      L" / 削除 " + std::to_wstring(counts.deletions) + L" / 不可 " +
                      std::to_wstring(counts.unwritable);
  if (counts.drawingChanged != 0) {
    text += L" / 図面側で変更 " + std::to_wstring(counts.drawingChanged);
  }
  return text;
}

TPendingCells::TPendingCells(const TStringGrid& grid, TTextAry& texts, const TDblAry& tate, const TDblAry& yoko)
    : FGrid(grid), FTexts(texts), FTate(tate), FYoko(yoko) {}

TPendingCells::~TPendingCells() = default;

void TPendingCells::reset() {
  FIndex.reset();
  FColumns.clear();
}

TTextIndex& TPendingCells::index() {
  refresh();
  return *FIndex;
}

void TPendingCells::refresh() {
  if (!FIndex) {
    FIndex = std::make_unique<TTextIndex>(FTexts);
    FTateSorted = strictlyAscending(FTate);
    FYokoSorted = strictlyDescending(FYoko);
    FColumns.clear();
  }
  if (FRows != FGrid.RowCount() || FCols != FGrid.ColCount() ||
      FColumns.size() != static_cast<std::size_t>(FGrid.ColCount())) {
    FRows = FGrid.RowCount();
    FCols = FGrid.ColCount();
    FColumns.assign(static_cast<std::size_t>(FCols), TColumn{});
  }
}

TPendingCells::TColumn& TPendingCells::column(std::int32_t col) {
  refresh();
  TColumn& held = FColumns[static_cast<std::size_t>(col)];
  if (!held.valid || held.revision != FGrid.columnRevision(col) || held.textsRevision != FIndex->revision()) {
    classifyColumn(col, held);
  }
  return held;
}

TPending TPendingCells::kindOf(std::int32_t col, std::int32_t row) {
  if (col < 1 || row < 1 || col >= FGrid.ColCount() || row >= FGrid.RowCount()) return TPending::None;
  return column(col).kinds[static_cast<std::size_t>(row)];
}

TPendingCounts TPendingCells::counts() {
  TPendingCounts total;
  for (std::int32_t col = 1; col < FGrid.ColCount(); ++col) {
    const TPendingCounts& held = column(col).counts;
    total.edits += held.edits;
    total.additions += held.additions;
    total.deletions += held.deletions;
    total.unwritable += held.unwritable;
    total.drawingChanged += held.drawingChanged;
  }
  return total;
}

bool TPendingCells::hasOffset(int record, double& dx, double& dy) const {
  const TMrvText& text = FTexts[static_cast<std::size_t>(record)];
  const double x = text.base[0];
  const double y = text.base[1];
  const std::int32_t ci = FTateSorted ? sortedColIndexOf(FTate, x) : colIndexOf(FTate, x);
  const std::int32_t ri = FYokoSorted ? sortedRowIndexOf(FYoko, y) : rowIndexOf(FYoko, y);
  if (ci < 0 || ri < 0) return false;
  dx = x - FTate[static_cast<std::size_t>(ci)];
  dy = y - FYoko[static_cast<std::size_t>(ri)];
  return true;
}

// One pass down the column as Update's walk goes: a cell's template is the
// first row from 2 down that holds one when Update reaches the cell. Above
// the cell, Update has done its work by then (a deleted text is no template
// any more, an added one is when its place lies inside a cell); below it,
// the texts are still those of now.
void TPendingCells::classifyColumn(std::int32_t col, TColumn& held) {
  held.valid = true;
  held.revision = FGrid.columnRevision(col);
  held.textsRevision = FIndex->revision();
  held.counts = {};
  held.kinds.assign(static_cast<std::size_t>(FRows), TPending::None);
  const std::size_t rows = static_cast<std::size_t>(FRows);

  std::vector<int> records(rows, -1);
  bool needsTemplates = false;
  for (std::int32_t row = 1; row < FRows; ++row) {
    const std::int32_t tag = FGrid.Tag(col, row);
    const std::wstring& text = FGrid.Cell(col, row);
    if (tag == 0) {
      needsTemplates = needsTemplates || !text.empty();
      continue;
    }
    const int i = FIndex->findTag(tag);
    // A record index past the list: the list changed without a reset; no record then.
    records[static_cast<std::size_t>(row)] = i >= 0 && static_cast<std::size_t>(i) < FTexts.size() ? i : -1;
    const int k = records[static_cast<std::size_t>(row)];
    held.kinds[static_cast<std::size_t>(row)] =
        classifyCell(tag, text, k < 0 ? nullptr : &FTexts[static_cast<std::size_t>(k)], false);
  }

  if (needsTemplates) {
    // Offsets of the texts as they stand, and for each row the first row
    // below it whose text can be a template.
    std::vector<TAnchorOffset> offsets(rows);
    std::vector<bool> qualifies(rows, false);
    for (std::int32_t row = 2; row < FRows; ++row) {
      const int k = records[static_cast<std::size_t>(row)];
      TAnchorOffset& at = offsets[static_cast<std::size_t>(row)];
      qualifies[static_cast<std::size_t>(row)] = k >= 0 && hasOffset(k, at.dx, at.dy);
    }
    std::vector<std::int32_t> nextBelow(rows + 1, -1);
    for (std::int32_t row = FRows - 1; row >= 1; --row) {
      const std::size_t r = static_cast<std::size_t>(row);
      nextBelow[r] = r + 1 < rows && qualifies[r + 1] ? row + 1 : nextBelow[r + 1];
    }

    std::optional<TAnchorOffset> above;  // the first template among the rows Update has passed
    for (std::int32_t row = 1; row < FRows; ++row) {
      const std::size_t r = static_cast<std::size_t>(row);
      TPending& kind = held.kinds[r];
      if (FGrid.Tag(col, row) != 0) {
        if (!above && row >= 2 && qualifies[r] && kind != TPending::Delete) above = offsets[r];
        continue;
      }
      if (FGrid.Cell(col, row).empty()) continue;
      std::optional<TAnchorOffset> found = above;
      if (!found && nextBelow[r] >= 0) found = offsets[static_cast<std::size_t>(nextBelow[r])];
      kind = classifyCell(0, FGrid.Cell(col, row), nullptr, found.has_value());
      if (kind == TPending::Add && !above && row >= 2) {
        // The new text sits at the template's offset in this cell: a template
        // for the rows after it when that place lies inside a cell.
        TMrvText added;
        added.base = {FTate[static_cast<std::size_t>(col - 1)] + found->dx,
                      FYoko[static_cast<std::size_t>(row - 1)] + found->dy, 0.0};
        above = anchorOffset(added, FTate, FYoko);
      }
    }
  }
  for (std::int32_t row = 1; row < FRows; ++row) {
    tally(held.counts, held.kinds[static_cast<std::size_t>(row)]);
  }
}
