#pragma once
// What Update would do to each data cell, for the marks in the sheet and the
// pending counts in the status bar. classifyCell is the rule Update's walk
// applies cell by cell; TPendingCells applies it to the whole sheet ahead of
// a run, column by column, with each column's templates as Update will find
// them when it reaches each cell.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "table/mrv_records.h"
#include "sheet/string_grid.h"
#include "writeback/text_lookup.h"

enum class TPending : std::uint8_t {
  None,        // Update leaves the cell alone
  Edit,        // its drawing text is rewritten
  Add,         // a new drawing text is made from the column's template
  Delete,      // its drawing text is erased
  Unwritable,  // text in an untagged cell of a column without a template: never written
  DrawingChanged,  // its drawing text was changed in the CAD since Acquire: left alone until the next Acquire
};

// The rule for one cell: its tag and text, the record its tag finds (null
// when none does) and whether its column offers a template at the moment
// Update reaches it (asked only of an untagged cell that holds text).
TPending classifyCell(std::int32_t tag, const std::wstring& text, const TMrvText* record, bool hasTemplate);

// The offset of a text's anchor from the top-left corner of the cell it
// lies strictly inside, by its coordinates; nullopt when it lies in none.
// A tagged text with an offset can be a template.
struct TAnchorOffset {
  double dx = 0.0;
  double dy = 0.0;
};
std::optional<TAnchorOffset> anchorOffset(const TMrvText& text, const TDblAry& tate, const TDblAry& yoko);

struct TPendingCounts {
  std::int32_t edits = 0;
  std::int32_t additions = 0;
  std::int32_t deletions = 0;
  std::int32_t unwritable = 0;
  std::int32_t drawingChanged = 0;
  std::int32_t total() const { return edits + additions + deletions + unwritable + drawingChanged; }
  bool operator==(const TPendingCounts&) const = default;
};

// The status bar's note: "編集 3 / 追加 1 / 削除 0 / 不可 1", then " / 図面側で変更 2"
// when some cells are so marked; empty when nothing is pending.
std::wstring pendingStatusText(const TPendingCounts& counts);

// The classification of every data cell, cached per column. A column is
// worked out again (one pass over its rows) only when a cell of it changed
// (the sheet's column revision), when the records changed through the index
// (an Update writing), or after reset(); a paint that asks every visible
// cell costs a look-up in a vector.
class TPendingCells {
 public:
  TPendingCells(const TStringGrid& grid, TTextAry& texts, const TDblAry& tate, const TDblAry& yoko);
  ~TPendingCells();
  TPendingCells(const TPendingCells&) = delete;
  TPendingCells& operator=(const TPendingCells&) = delete;

  // The records or the boundaries were replaced (Acquire) or changed behind
  // the index's back: the index is built again when next needed.
  void reset();

  // The handle index over the records; Update writes through it, which keeps
  // the classification in step.
  TTextIndex& index();

  // TPending::None outside the data cells.
  TPending kindOf(std::int32_t col, std::int32_t row);
  TPendingCounts counts();

 private:
  struct TColumn {
    std::uint64_t revision = 0;
    std::uint64_t textsRevision = 0;
    bool valid = false;
    std::vector<TPending> kinds;  // rows 0 .. RowCount - 1; row 0 stays None
    TPendingCounts counts;
  };
  void refresh();
  TColumn& column(std::int32_t col);
  void classifyColumn(std::int32_t col, TColumn& column);
  bool hasOffset(int record, double& dx, double& dy) const;

  const TStringGrid& FGrid;
  TTextAry& FTexts;
  const TDblAry& FTate;
  const TDblAry& FYoko;
  std::unique_ptr<TTextIndex> FIndex;
  std::vector<TColumn> FColumns;
  std::int32_t FRows = 0;
  std::int32_t FCols = 0;
  // Boundaries in strict order let a point's interval be found by halving;
  // otherwise colIndexOf and rowIndexOf answer as they are.
  bool FTateSorted = false;
  bool FYokoSorted = false;
};
