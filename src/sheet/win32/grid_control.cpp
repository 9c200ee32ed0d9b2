#include "sheet/win32/grid_control.h"

#include <windows.h>

#include <windowsx.h>

#include <memory>

#include "sheet/cell_look.h"
#include "sheet/win32/gdi_text_metrics.h"
#include "sheet/win32/grid_window.h"
#include "platform/win32/window_wall.h"

namespace {

constexpr const wchar_t* kGridClass = L"MorvaneSheet";
// The grid lines between cells.
constexpr COLORREF kLineColor = RGB(192, 192, 192);

TGridWindow* windowOf(HWND hwnd) { return reinterpret_cast<TGridWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// Every change of the model: keep the current cell in view, the scroll bars
// and the editor in step, and repaint.
void onModelChanged(TGridWindow& window) {
  if (window.inModelChange) {
    return;
  }
  {
    const TScopedValue<bool> changing(window.inModelChange, true);
    window.input.followCurrent();
    updateScrollBars(window);
    syncEditor(window);
  }
  InvalidateRect(window.FWnd, nullptr, FALSE);
}

void onSize(TGridWindow& window) {
  updateScrollBars(window);
  syncEditor(window);
  InvalidateRect(window.FWnd, nullptr, FALSE);
}

void onFocus(TGridWindow& window, bool gained) {
  if (gained && window.grid.EditorMode() && editorShown(window)) {
    SetFocus(window.editor);
  }
  InvalidateRect(window.FWnd, nullptr, FALSE);
}

LRESULT dispatch(TGridWindow& window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCDESTROY:
      window.grid.OnChange = nullptr;
      break;
    case WM_PAINT:
      onPaint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      onSize(window);
      return 0;
    case WM_VSCROLL:
      onScroll(window, SB_VERT, LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      onScroll(window, SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      onMouseWheel(window, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_KEYDOWN:
      onKeyDown(window, wParam);
      return 0;
    case WM_SYSKEYDOWN:
      if (sheetTakesAltKey(wParam)) {
        onKeyDown(window, wParam);
        return 0;
      }
      break;
    case WM_CHAR:
      onChar(window, static_cast<wchar_t>(wParam));
      return 0;
    case WM_SYSCHAR:
      // Alt+Enter's character toggles editing as Enter's does, instead of a menu beep.
      if (wParam == L'\r') {
        onChar(window, L'\r');
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      onMouseButton(window, message, lParam);
      return 0;
    case WM_MOUSEMOVE:
      onMouseMove(window, lParam);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && onSetCursor(window)) {
        return TRUE;
      }
      break;
    case WM_CONTEXTMENU:
      onContextMenu(window, lParam);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      onFocus(window, message == WM_SETFOCUS);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditorId && HIWORD(wParam) == EN_CHANGE) {
        onEditorChanged(window);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The window owns its state once it is set up: the state is freed after the
// window's last message, when the owned window procedure is done with it.
LRESULT CALLBACK gridWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  TGridWindow* const last = message == WM_NCDESTROY ? windowOf(hwnd) : nullptr;
  const std::unique_ptr<TGridWindow> freed(last != nullptr && last->ready ? last : nullptr);
  return ownedWindowProc<TGridWindow>(hwnd, message, wParam, lParam);
}

bool registerGridClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(instance, kGridClass, &wc)) {
    return true;
  }
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = gridWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kGridClass;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

TGridWindow::TGridWindow(TStringGrid& model, TGridControlHooks ownerHooks)
    : grid(model),
      input(model, std::move(ownerHooks), &metrics),
      font(createSheetFont()),
      headerBrush(CreateSolidBrush(static_cast<COLORREF>(kHeaderColor))),
      lineBrush(CreateSolidBrush(kLineColor)) {}

LRESULT TGridWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!ready) {
    return DefWindowProcW(FWnd, message, wParam, lParam);
  }
  return dispatch(*this, FWnd, message, wParam, lParam);
}

HWND createGridControl(HWND parent, int controlId, TStringGrid& grid, TGridControlHooks hooks) {
  if (!registerGridClass()) {
    return nullptr;
  }
  // Until it is set up the state is this function's: a creation that fails
  // half-way leaves it here to be freed.
  auto window = std::make_unique<TGridWindow>(grid, std::move(hooks));
  const HWND hwnd = CreateWindowExW(0, kGridClass, L"",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN,
                                    0, 0, 0, 0, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                    GetModuleHandleW(nullptr), window.get());
  if (hwnd == nullptr) {
    return nullptr;
  }
  TGridWindow& state = *window;
  state.ready = true;
  window.release();
  createEditor(state);
  grid.OnChange = [&state] { onModelChanged(state); };
  onSize(state);
  return hwnd;
}

void paintGridControlTo(HWND grid, HDC dc) {
  TGridWindow* const window = windowOf(grid);
  if (window == nullptr) {
    return;
  }
  RECT client{};
  GetClientRect(grid, &client);
  paintGrid(*window, dc, client.right, client.bottom, GetFocus() == grid);
}
