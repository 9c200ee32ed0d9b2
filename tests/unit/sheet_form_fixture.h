#pragma once
// A main window wired to fakes, for the tests of the sheet's handlers.
#include <string>
#include <vector>

#include "app/morvane_form.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "sheet/grid_geometry.h"

class TSheetFormFixture {
 public:
  TSheetFormFixture() {
    // Moves are logged in front of the form's own handlers.
    auto formSelect = grid.OnSelectCell;
    grid.OnSelectCell = [this, formSelect](std::int32_t col, std::int32_t row, bool& canSelect) {
      moves.push_back("select " + std::to_string(col) + "," + std::to_string(row));
      if (formSelect) formSelect(col, row, canSelect);
    };
    auto formClick = grid.OnClick;
    grid.OnClick = [this, formClick] {
      moves.push_back("click");
      if (formClick) formClick();
    };
  }

  TFakeDesktop desktop;
  TFakeCad cad;
  TFakeTextMetrics metrics;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics}};
  TStringGrid& grid = form.StringGrid1;
  std::vector<std::string> moves;

  std::uint16_t pressKey(std::uint16_t key, TShiftState shift = {}) {
    form.StringGrid1KeyDown(key, shift);
    return key;
  }

  // The middle of a cell in client pixels.
  std::pair<int, int> centre(std::int32_t col, std::int32_t row) const {
    const TCellRect r = cellRect(grid, col, row).value();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void mouseDown(std::int32_t col, std::int32_t row) {
    const auto [x, y] = centre(col, row);
    form.StringGrid1MouseDown(TMouseButton::Left, {}, x, y);
  }
  void mouseMove(std::int32_t col, std::int32_t row) {
    const auto [x, y] = centre(col, row);
    form.StringGrid1MouseMove({}, x, y);
  }
  void mouseUp() { form.StringGrid1MouseUp(TMouseButton::Left, {}, 0, 0); }
};
