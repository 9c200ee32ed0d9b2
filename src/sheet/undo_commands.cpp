#include "sheet/undo_commands.h"

namespace {

void undoTimes(TUndoCells& history, TStringGrid& grid, std::int32_t times) {
  for (std::int32_t i = 0; i < times; ++i) {
    // An emptied history ends the group early: the rest would do nothing.
    if (history.Count() == 0) return;
    history.Undo(grid);
  }
}

}  // namespace

void groupedUndo(TUndoCells& history, TStringGrid& grid, std::int32_t& sgUndoCnt) {
  if (sgUndoCnt < 1) {
    sgUndoCnt = 0;
  }
  if (sgUndoCnt == 0) {
    history.Undo(grid);
    return;
  }
  undoTimes(history, grid, sgUndoCnt);
  sgUndoCnt = 0;
}

void undoButton(TUndoCells& history, TStringGrid& grid, std::int32_t sgUndoCnt) {
  undoTimes(history, grid, sgUndoCnt);
}
