#pragma once
// What Update would do to each data cell, for the marks in the sheet and the
// pending counts in the status bar: Update's own plan (update_plan.h) for the
// whole sheet ahead of a run, column by column.
#include <cstdint>
#include <string>
#include <vector>

#include "table/bounds.h"
#include "sheet/string_grid.h"
#include "table/text_lookup.h"
#include "writeback/update_plan.h"

struct TPendingCounts {
  std::int32_t edits = 0;
  std::int32_t additions = 0;
  std::int32_t deletions = 0;
  std::int32_t unwritable = 0;
  std::int32_t drawingChanged = 0;
  // MTEXT edits that replace inner formatting; not among `edits`.
  std::int32_t formatReplaced = 0;
  std::int32_t total() const { return edits + additions + deletions + unwritable + drawingChanged + formatReplaced; }
  bool operator==(const TPendingCounts&) const = default;
};

// The status bar's note: "編集 3 / 追加 1 / 削除 0 / 不可 1", then " / 図面側で変更 2"
// and " / 書式置換 1" when some cells are so marked; empty when nothing is pending.
std::wstring pendingStatusText(const TPendingCounts& counts);

// The plan of every data cell, cached per column. A column is worked out
// again (one pass over its rows) only when a cell of it changed (the sheet's
// column revision), when the records changed through the index (an Update
// writing), or after reset(); a paint that asks every visible cell costs a
// look-up in a vector. The records' index and the bounds are the table's:
// this cache only reads them.
class TPendingCells {
 public:
  TPendingCells(const TStringGrid& grid, TTextIndex& texts, const TBounds& bounds);
  TPendingCells(const TPendingCells&) = delete;
  TPendingCells& operator=(const TPendingCells&) = delete;

  // The records or the boundaries were replaced (Acquire) or changed behind
  // the index's back: the index is built again over the records as they
  // stand, and every column worked out anew.
  void reset();

  // TPending::None outside the data cells. Asking works out what is stale,
  // which changes nothing anyone sees: the cache is mutable.
  TPending kindOf(std::int32_t col, std::int32_t row) const;
  TPendingCounts counts() const;

 private:
  struct TColumn {
    std::uint64_t revision = 0;
    std::uint64_t textsRevision = 0;
    bool valid = false;
    std::vector<TCellPlan> plans;  // rows 0 .. RowCount - 1; row 0 stays None
    TPendingCounts counts;
  };
  void refresh() const;
  TColumn& column(std::int32_t col) const;

  const TStringGrid& FGrid;
  TTextIndex& FTexts;
  const TBounds& FBounds;
  mutable std::vector<TColumn> FColumns;
  mutable std::int32_t FRows = 0;
  mutable std::int32_t FCols = 0;
};
