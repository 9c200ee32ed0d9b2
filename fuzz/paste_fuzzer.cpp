// Pastes a fuzzer's text into the main window's sheet (or cuts or deletes
// the selection), then takes it back: the sheet never changes size, a cut
// puts the block's text on the clipboard, and the grouped undo restores every
// cell as it was. Input: rows, columns, fixed rows, selection corners, the
// command (Ctrl+V, the menu's paste, Ctrl+X, Delete), whether the clipboard
// holds text, then the text.
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "app/morvane_form.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "fuzz_input.h"
#include "sheet/clipboard_text.h"
#include "sheet/grid_keys.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "paste invariant broken: %s\n", what);
    std::abort();
  }
}

std::vector<std::wstring> cellsOf(const TStringGrid& grid) {
  std::vector<std::wstring> cells;
  for (std::int32_t row = 0; row < grid.RowCount(); ++row) {
    for (std::int32_t col = 0; col < grid.ColCount(); ++col) cells.push_back(grid.Cell(col, row));
  }
  return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzInput in(data, size);
  TFakeDesktop desktop;
  TFakeCad cad;
  TFakeTextMetrics metrics;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics}};
  TStringGrid& grid = form.StringGrid1;

  const std::int32_t rows = in.between(2, 40);
  const std::int32_t cols = in.between(2, 20);
  grid.setRowCount(rows);
  grid.setColCount(cols);
  if (in.byte() % 2 == 1 && rows >= 3) form.CheckBox1.setChecked(true);  // a second fixed row
  for (std::int32_t row = 0; row < rows; ++row) {
    for (std::int32_t col = 0; col < cols; ++col) {
      grid.setCell(col, row, std::to_wstring(col) + L"," + std::to_wstring(row));
    }
  }
  const TGridCoord anchor{in.between(1, cols - 1), in.between(grid.firstCurrentRow(), rows - 1)};
  const TGridCoord current{in.between(1, cols - 1), in.between(grid.firstCurrentRow(), rows - 1)};
  grid.setSelection(anchor, current);
  const int command = in.byte() % 4;
  const bool noText = in.byte() % 8 == 0;
  desktop.clipboard = in.restAsText();
  if (noText) desktop.clipboard.reset();

  const std::vector<std::wstring> before = cellsOf(grid);
  const std::wstring blockText = clipboardText(grid, grid.Selection());
  const TShiftState ctrl{false, true, false};
  std::uint16_t key = 0;
  switch (command) {
    case 0: key = gridKey::kV; break;
    case 1: form.N3.Click(); break;
    case 2: key = gridKey::kX; break;
    default: key = gridKey::kDelete; break;
  }
  if (key != 0) form.StringGrid1KeyDown(key, key == gridKey::kDelete ? TShiftState{} : ctrl);
  check(grid.RowCount() == rows && grid.ColCount() == cols, "the command changed the sheet's size");
  if (command != 3) check(form.FUndoCells->groupCount() >= 1, "the command left no group to undo");
  if (command == 2) check(desktop.clipboard == blockText, "the cut put another text on the clipboard");

  std::uint16_t undoKey = gridKey::kZ;
  form.StringGrid1KeyDown(undoKey, ctrl);
  check(grid.RowCount() == rows && grid.ColCount() == cols, "the undo changed the sheet's size");
  check(cellsOf(grid) == before, "the undo did not restore every cell");
  return 0;
}
