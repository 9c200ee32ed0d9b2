#include "app/win32/bevel_panel.h"

#include "platform/win32/handle_owners.h"
#include "platform/win32/window_view.h"

LRESULT TBevelPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      const TPaintScope paint(FWnd);
      if (paint.dc() != nullptr) {
        RECT r{};
        GetClientRect(FWnd, &r);
        DrawEdge(paint.dc(), &r, BDR_SUNKENOUTER, BF_RECT);
      }
      return 0;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return TWindow(FWnd).parent().send(message, wParam, lParam);
    default:
      return DefWindowProcW(FWnd, message, wParam, lParam);
  }
}

bool registerBevelPanelClass(HINSTANCE instance) {
  return registerOwnedWindowClass<TBevelPanel>(instance, kBevelPanelClass, CS_HREDRAW | CS_VREDRAW);
}
