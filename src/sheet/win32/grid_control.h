#pragma once
// The sheet's Win32 control: paints a string grid model (double-buffered),
// scrolls, hit-tests, hosts the in-place EDIT and feeds every keystroke and
// mouse event into the model, whose events reach the owner's handlers. It
// knows the model and the hooks below, nothing of the window that owns it.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "sheet/cell_look.h"
#include "sheet/string_grid.h"

// The owner's callbacks; either may be left empty.
struct TGridControlHooks {
  // The look of a cell after its normal look (normalCellLook); empty: the normal look.
  std::function<TCellLook(std::int32_t col, std::int32_t row, const TCellRect& rect, TDrawState state)> drawCell;
  // A right click, the menu key or Shift+F10, at screen coordinates.
  std::function<void(int screenX, int screenY)> contextMenu;
  // After each paint of the control: every change to the model is followed
  // by one, however many cells it touched.
  std::function<void()> painted;
};

// Creates the control as a child of `parent` (WS_CHILD | WS_VISIBLE |
// WS_TABSTOP, scroll bars as the sheet needs them), empty-sized: the owner
// places it. The window owns its state and frees it when destroyed; the
// model must outlive it.
HWND createGridControl(HWND parent, int controlId, TStringGrid& grid, TGridControlHooks hooks);

// Paints the sheet as it shows now into `dc`, at the client area's size: for
// measuring the painting and for pictures of the sheet.
void paintGridControlTo(HWND grid, HDC dc);
