// Keys and mouse of the sheet window, turned into the grid's input calls.
#include <windows.h>

#include <windowsx.h>

#include "sheet/grid_geometry.h"
#include "sheet/win32/grid_window.h"

TShiftState currentShift() {
  TShiftState shift;
  shift.shift = GetKeyState(VK_SHIFT) < 0;
  shift.ctrl = GetKeyState(VK_CONTROL) < 0;
  shift.alt = GetKeyState(VK_MENU) < 0;
  return shift;
}

bool sheetTakesAltKey(WPARAM key) { return key == VK_RETURN || key == VK_DELETE; }

void onKeyDown(TGridWindow& window, WPARAM key) {
  std::uint16_t code = static_cast<std::uint16_t>(key);
  window.input.keyDown(code, currentShift(), false);
}

void onChar(TGridWindow& window, wchar_t ch) {
  // Ctrl+C, Ctrl+V and Ctrl+X as characters: the editor's clipboard keys.
  const bool clipboardChar = ch == 0x03 || ch == 0x16 || ch == 0x18;
  if (window.grid.EditorMode() && window.editor != nullptr && (ch >= 0x20 || clipboardChar)) {
    // Characters that still reach the sheet while its editor is open (the
    // rest of an input method's result, a key pressed while the edited cell
    // is scrolled out of sight) belong to the editor.
    SendMessageW(window.editor, WM_CHAR, ch, 0);
    return;
  }
  if (window.input.charTyped(ch) == TCharResult::EditReplaced && window.editor != nullptr) {
    // Typing on: the caret after the character that started the edit.
    const LRESULT length = GetWindowTextLengthW(window.editor);
    SendMessageW(window.editor, EM_SETSEL, static_cast<WPARAM>(length), length);
  }
}

void onMouseButton(TGridWindow& window, UINT message, LPARAM position) {
  const int x = GET_X_LPARAM(position);
  const int y = GET_Y_LPARAM(position);
  const TShiftState shift = currentShift();
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != window.FWnd) {
        SetFocus(window.FWnd);
      }
      SetCapture(window.FWnd);
      window.input.mouseDown(TMouseButton::Left, shift, x, y);
      if (message == WM_LBUTTONDBLCLK) {
        window.input.doubleClick(x, y);
      }
      break;
    case WM_LBUTTONUP:
      if (GetCapture() == window.FWnd) {
        ReleaseCapture();
      }
      window.input.mouseUp(TMouseButton::Left, shift, x, y);
      break;
    case WM_RBUTTONDOWN:
      window.input.mouseDown(TMouseButton::Right, shift, x, y);
      break;
    case WM_RBUTTONUP: {
      window.input.mouseUp(TMouseButton::Right, shift, x, y);
      POINT screen{x, y};
      ClientToScreen(window.FWnd, &screen);
      if (window.input.hooks().contextMenu) {
        window.input.hooks().contextMenu(screen.x, screen.y);
      }
      break;
    }
    default:
      break;
  }
}

void onMouseMove(TGridWindow& window, LPARAM position) {
  window.input.mouseMove(currentShift(), GET_X_LPARAM(position), GET_Y_LPARAM(position));
}

bool onSetCursor(TGridWindow& window) {
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(window.FWnd, &point);
  const wchar_t* shape = IDC_ARROW;
  switch (window.input.cursorAt(point.x, point.y)) {
    case TGridCursor::SizeColumn:
      shape = IDC_SIZEWE;
      break;
    case TGridCursor::SizeRow:
      shape = IDC_SIZENS;
      break;
    case TGridCursor::Arrow:
      break;
  }
  SetCursor(LoadCursorW(nullptr, shape));
  return true;
}

void onContextMenu(TGridWindow& window, LPARAM screenPosition) {
  // A right click calls the menu itself (WM_RBUTTONUP); this is the menu key
  // or Shift+F10, which opens it at the current cell.
  if (GET_X_LPARAM(screenPosition) != -1 || GET_Y_LPARAM(screenPosition) != -1) {
    return;
  }
  const std::optional<TCellRect> rect = cellRect(window.grid, window.grid.Col(), window.grid.Row());
  POINT point{rect ? rect->left : 0, rect ? rect->bottom : 0};
  ClientToScreen(window.FWnd, &point);
  if (window.input.hooks().contextMenu) {
    window.input.hooks().contextMenu(point.x, point.y);
  }
}
