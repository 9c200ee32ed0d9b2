#pragma once
// Holds the sheet's repainting back for a scope: changes made meanwhile are
// announced once when the outermost hold ends.
#include "table/string_grid.h"

class TRepaintHold {
 public:
  explicit TRepaintHold(TStringGrid& grid) : FGrid(grid) { FGrid.beginUpdate(); }
  ~TRepaintHold() { FGrid.endUpdate(); }
  TRepaintHold(const TRepaintHold&) = delete;
  TRepaintHold& operator=(const TRepaintHold&) = delete;

  // Lets the changes made so far be painted, then holds again.
  void flush() {
    FGrid.endUpdate();
    FGrid.beginUpdate();
  }

 private:
  TStringGrid& FGrid;
};
