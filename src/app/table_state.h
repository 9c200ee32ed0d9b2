#pragma once
// What a table read from the drawing leaves for the commands after it: the
// records, the boundaries, the records' index by handle, the drawing they
// came from, the texts the sheet does not show and what Update would do to
// each cell. It lives in app/ because it brings together the table's data
// and the marks of writeback/, which sits above the table.
#include "cad/drawing_identity.h"
#include "table/bounds.h"
#include "table/hidden_texts.h"
#include "table/mrv_records.h"
#include "sheet/string_grid.h"
#include "table/text_lookup.h"
#include "writeback/pending_cells.h"

struct TTableState {
  // The marks are worked out over `sheet`, which the main window owns.
  explicit TTableState(const TStringGrid& sheet) : pending(sheet, index, bounds) {}
  TTableState(const TTableState&) = delete;
  TTableState& operator=(const TTableState&) = delete;

  TTextAry TextAry;
  TLineAry LineAry;
  // The column boundaries (ascending X) and the row boundaries (descending Y).
  TBounds bounds;
  // TextAry by handle: Update writes through it, so that what was worked out
  // from the records knows when to look again.
  TTextIndex index{TextAry};
  // The drawing TextAry was read from: Update and Locate touch the CAD only
  // while it is the active document.
  TDrawingIdentity drawing;
  // The texts the last fill left out of the sheet, and the cells holding
  // more than one text; replaced by each Acquire that reaches the fill.
  THiddenTexts hidden;
  // What Update would do to each data cell.
  TPendingCells pending;
};
