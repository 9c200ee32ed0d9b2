#pragma once
// What Update does to each data cell: the one rule that Update's walk
// carries out and that the sheet's marks show ahead of a run.
#include <cstdint>
#include <string>
#include <vector>

#include "table/bounds.h"
#include "table/mrv_records.h"
#include "sheet/string_grid.h"
#include "table/text_lookup.h"

enum class TPending : std::uint8_t {
  None,        // Update leaves the cell alone
  Edit,        // its drawing text is rewritten
  Add,         // a new drawing text is made from the column's template
  Delete,      // its drawing text is erased
  Unwritable,  // text in an untagged cell of a column without a template: never written
  DrawingChanged,  // its drawing text was changed in the CAD since Acquire: left alone until the next Acquire
  // An edit of an MTEXT whose content carries codes the new text cannot keep
  // (formatting in the middle, line breaks, fractions): written as an edit,
  // the codes for the whole text kept and the inner ones replaced.
  FormatReplaced,
};

struct TCellPlan {
  TPending kind = TPending::None;
  // Edit, FormatReplaced, Delete, DrawingChanged: the cell's record. Add: the template's
  // record; -1 when the template is a text the run makes above this cell.
  int record = -1;
  // Add: the tag of the cell whose text is the copied template, and where the
  // copy goes, as the template's offset from its cell's top-left corner.
  std::int32_t templateTag = 0;
  TAnchorOffset offset;
};

// The rule for one cell: its tag and text, the record its tag finds (null
// when none does) and whether its column offers a template at the moment
// Update reaches it (asked only of an untagged cell that holds text).
TPending classifyCell(std::int32_t tag, const std::wstring& text, const TMrvText* record, bool hasTemplate);

// The plans of rows `first`..`last` of column `col` (1 <= first <= last <
// RowCount), into plans[first..last] (resized to RowCount), as Update's walk
// finds each cell when it reaches it. A column's template is the first row
// from 2 down whose tagged text's anchor lies strictly inside a cell. The
// rows above `first` are taken as they stand: the walk has been there. From
// `first` on, a row counts as it will be once the walk has passed it: a
// text it deletes is no template any more, a text it adds is one when its
// place lies inside a cell; the rows below the cell are as they are now.
void planColumn(const TStringGrid& grid, const TTextIndex& texts, const TBounds& bounds, std::int32_t col,
                std::int32_t first, std::int32_t last, std::vector<TCellPlan>& plans);

// The plan of one cell as the walk reaches it.
TCellPlan planCell(const TStringGrid& grid, const TTextIndex& texts, const TBounds& bounds, std::int32_t col,
                   std::int32_t row);
