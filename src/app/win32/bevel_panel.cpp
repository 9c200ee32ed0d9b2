#include "app/win32/bevel_panel.h"

#include "platform/win32/handle_owners.h"

namespace {

void paintBevel(HWND wnd) {
  const TPaintScope paint(wnd);
  if (paint.dc() != nullptr) {
    RECT r{};
    GetClientRect(wnd, &r);
    DrawEdge(paint.dc(), &r, BDR_SUNKENOUTER, BF_RECT);
  }
}

LRESULT CALLBACK panelProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paintBevel(wnd);
      return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return SendMessageW(GetParent(wnd), message, wParam, lParam);
    default:
      return DefWindowProcW(wnd, message, wParam, lParam);
  }
}

}  // namespace

bool registerBevelPanelClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = panelProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kBevelPanelClass;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
