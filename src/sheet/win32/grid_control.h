#pragma once
// The sheet's Win32 window: paints the form's StringGrid1 (double-buffered),
// scrolls, hit-tests, hosts the in-place EDIT and feeds every keystroke and
// mouse event into the form's handlers and the grid model.
#include <windows.h>

#include <functional>

class TMorvaneForm;

// Creates the sheet as a child of `parent` (WS_CHILD | WS_VISIBLE | WS_TABSTOP
// | WS_HSCROLL | WS_VSCROLL). `onContextMenu` is called on a right click with
// the click's screen coordinates. The window owns its state and frees it when
// destroyed; the form must outlive it.
HWND createGridControl(HWND parent, int controlId, TMorvaneForm& form,
                       std::function<void(int screenX, int screenY)> onContextMenu);

// Paints the sheet as it shows now into `dc`, at the client area's size: for
// measuring the painting and for pictures of the sheet.
void paintGridControlTo(HWND grid, HDC dc);
