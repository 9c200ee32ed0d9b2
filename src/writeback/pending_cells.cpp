#include "writeback/pending_cells.h"

namespace {

void tally(TPendingCounts& counts, TPending kind) {
  switch (kind) {
    case TPending::Edit: ++counts.edits; break;
    case TPending::Add: ++counts.additions; break;
    case TPending::Delete: ++counts.deletions; break;
    case TPending::Unwritable: ++counts.unwritable; break;
    case TPending::DrawingChanged: ++counts.drawingChanged; break;
    case TPending::FormatReplaced: ++counts.formatReplaced; break;
    case TPending::None: break;
  }
}

}  // namespace

std::wstring pendingStatusText(const TPendingCounts& counts) {
  if (counts.total() == 0) return {};
  std::wstring text = L"編集 " + std::to_wstring(counts.edits) + L" / 追加 " + std::to_wstring(counts.additions) +
                      L" / 削除 " + std::to_wstring(counts.deletions) + L" / 不可 " +
                      std::to_wstring(counts.unwritable);
  if (counts.drawingChanged != 0) {
    text += L" / 図面側で変更 " + std::to_wstring(counts.drawingChanged);
  }
  if (counts.formatReplaced != 0) {
    text += L" / 書式置換 " + std::to_wstring(counts.formatReplaced);
  }
  return text;
}

TPendingCells::TPendingCells(const TStringGrid& grid, TTextIndex& texts, const TBounds& bounds)
    : FGrid(grid), FTexts(texts), FBounds(bounds) {}

void TPendingCells::reset() {
  FTexts.rebuild();
  FColumns.clear();
}

void TPendingCells::refresh() const {
  if (FRows != FGrid.RowCount() || FCols != FGrid.ColCount() ||
      FColumns.size() != static_cast<std::size_t>(FGrid.ColCount())) {
    FRows = FGrid.RowCount();
    FCols = FGrid.ColCount();
    FColumns.assign(static_cast<std::size_t>(FCols), TColumn{});
  }
}

TPendingCells::TColumn& TPendingCells::column(std::int32_t col) const {
  refresh();
  TColumn& held = FColumns[static_cast<std::size_t>(col)];
  if (!held.valid || held.revision != FGrid.columnRevision(col) || held.textsRevision != FTexts.revision()) {
    held.valid = true;
    held.revision = FGrid.columnRevision(col);
    held.textsRevision = FTexts.revision();
    held.plans.assign(static_cast<std::size_t>(FRows), TCellPlan{});
    held.counts = {};
    if (FRows > 1) {
      planColumn(FGrid, FTexts, FBounds, col, 1, FRows - 1, held.plans);
    }
    for (const TCellPlan& plan : held.plans) {
      tally(held.counts, plan.kind);
    }
  }
  return held;
}

TPending TPendingCells::kindOf(std::int32_t col, std::int32_t row) const {
  if (col < 1 || row < 1 || col >= FGrid.ColCount() || row >= FGrid.RowCount()) return TPending::None;
  return column(col).plans[static_cast<std::size_t>(row)].kind;
}

TPendingCounts TPendingCells::counts() const {
  TPendingCounts total;
  for (std::int32_t col = 1; col < FGrid.ColCount(); ++col) {
    const TPendingCounts& held = column(col).counts;
    total.edits += held.edits;
    total.additions += held.additions;
    total.deletions += held.deletions;
    total.unwritable += held.unwritable;
    total.drawingChanged += held.drawingChanged;
    total.formatReplaced += held.formatReplaced;
  }
  return total;
}
