#pragma once
// The undo commands of the main window over its history and group count.
#include <cstdint>

#include "sheet/undo_cells.h"
#include "sheet/string_grid.h"

// Ctrl+Z: after a many-cell command (sgUndoCnt >= 1) reverts that many entries
// and uses the count up; otherwise reverts one entry.
void groupedUndo(TUndoCells& history, TStringGrid& grid, std::int32_t& sgUndoCnt);

// The UNDO button: reverts sgUndoCnt entries and keeps the count, so each
// press goes a group further back; nothing when the count is 0 or less.
void undoButton(TUndoCells& history, TStringGrid& grid, std::int32_t sgUndoCnt);
