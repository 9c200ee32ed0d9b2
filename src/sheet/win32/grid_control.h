#pragma once
// The sheet's Win32 control: paints a string grid model (double-buffered),
// scrolls, hit-tests, hosts the in-place EDIT and feeds every keystroke and
// mouse event into the model and to the owner's hooks. It knows the model
// and the hooks, nothing of the window that owns it.
#include <windows.h>

#include "sheet/grid_control_hooks.h"
#include "sheet/string_grid.h"

// Creates the control as a child of `parent` (WS_CHILD | WS_VISIBLE |
// WS_TABSTOP, scroll bars as the sheet needs them), empty-sized: the owner
// places it. The window owns its state and frees it when destroyed; the
// model must outlive it.
HWND createGridControl(HWND parent, int controlId, TStringGrid& grid, TGridControlHooks hooks);

// Paints the sheet as it shows now into `dc`, at the client area's size: for
// measuring the painting and for pictures of the sheet.
void paintGridControlTo(HWND grid, HDC dc);
