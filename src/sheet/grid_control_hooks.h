#pragma once
// What the owner of the sheet's control hears of it: the user's keys and
// mouse over the sheet, and the control's own needs (a cell's look, the
// context menu, the end of a paint). Any hook may be left empty. The sheet's
// input (TGridInput) calls the key and mouse hooks before it gives each event
// its own meaning, so a test drives the owner's handlers without a window.
#include <cstdint>
#include <functional>

#include "sheet/cell_look.h"
#include "sheet/grid_keys.h"

struct TGridControlHooks {
  // A key went down while the sheet or its editor has the focus; setting the
  // key to 0 swallows it.
  std::function<void(std::uint16_t& key, TShiftState shift)> keyDown;
  // A click on a header cell: pressed and released on the same one.
  std::function<void(std::int32_t col, std::int32_t row)> fixedCellClick;
  // Mouse events over the sheet, in client pixels, each after the sheet's
  // own meaning of it.
  std::function<void(TMouseButton button, TShiftState shift, int x, int y)> mouseDown;
  std::function<void(TShiftState shift, int x, int y)> mouseMove;
  std::function<void(TMouseButton button, TShiftState shift, int x, int y)> mouseUp;
  // The look of a cell after its normal look (normalCellLook); empty: the normal look.
  std::function<TCellLook(std::int32_t col, std::int32_t row, const TCellRect& rect, TDrawState state)> drawCell;
  // A right click, the menu key or Shift+F10, at screen coordinates.
  std::function<void(int screenX, int screenY)> contextMenu;
  // After each paint of the control: every change to the model is followed
  // by one, however many cells it touched.
  std::function<void()> painted;
};
