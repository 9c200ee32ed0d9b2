#include "app/win32/speed_button.h"

#include <commctrl.h>

#include "platform/win32/window_view.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;

bool cursorInside(HWND wnd, LPARAM lParam) {
  RECT r{};
  GetClientRect(wnd, &r);
  const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return PtInRect(&r, p) != FALSE;
}

void setPressed(TWindow button, bool pressed) { button.send(BM_SETSTATE, pressed ? TRUE : FALSE); }

// The button's own mouse handling sets the focus to it; this one never does.
LRESULT CALLBACK speedButtonProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (IsWindowEnabled(wnd) != FALSE) {
        SetCapture(wnd);
        setPressed(wnd, true);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == wnd) setPressed(wnd, cursorInside(wnd, lParam));
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == wnd) {
        const bool inside = cursorInside(wnd, lParam);
        ReleaseCapture();
        setPressed(wnd, false);
        if (inside) {
          TWindow(wnd).parent().send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(wnd)), BN_CLICKED), wnd);
        }
      }
      return 0;
    case WM_CAPTURECHANGED:
      setPressed(wnd, false);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(wnd, speedButtonProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(wnd, message, wParam, lParam);
}

}  // namespace

void makeSpeedButton(HWND button) { SetWindowSubclass(button, speedButtonProc, kSubclassId, 0); }
