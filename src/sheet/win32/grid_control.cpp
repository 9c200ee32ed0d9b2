#include "sheet/win32/grid_control.h"

#include "app/morvane_form.h"

// First version: a plain child window; painting and input follow.
HWND createGridControl(HWND parent, int controlId, TMorvaneForm& form,
                       std::function<void(int screenX, int screenY)> onContextMenu) {
  (void)form;
  (void)onContextMenu;
  return CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, 0, 74, 581, 182,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                         GetModuleHandleW(nullptr), nullptr);
}
