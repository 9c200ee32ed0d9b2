// The in-place editor: an EDIT child laid over the current cell while the
// grid is in editor mode. Its text goes into the cell with every change; its
// keys reach the model's key event before the EDIT sees them.
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include <string>

#include "platform/win32/clipboard_scope.h"
#include "sheet/cell_look.h"
#include "sheet/clipboard_text.h"
#include "sheet/grid_geometry.h"
#include "sheet/line_break_mark.h"
#include "sheet/win32/grid_window.h"
#include "platform/win32/window_wall.h"

namespace {

constexpr UINT_PTR kEditorSubclass = 1;

std::wstring editorText(HWND editor) {
  const int length = GetWindowTextLengthW(editor);
  std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
  const int copied = GetWindowTextW(editor, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

LRESULT editorKeyDown(TGridWindow& window, HWND editor, WPARAM wParam, LPARAM lParam) {
  std::uint16_t key = static_cast<std::uint16_t>(wParam);
  window.swallowEditorChar = false;
  const bool used = window.input.keyDown(key, currentShift(), true);
  if (key == 0) {
    // The character of a swallowed key (Ctrl+C's ^C, ...) must not reach the EDIT either.
    window.swallowEditorChar = true;
  }
  if (used) {
    return 0;
  }
  return DefSubclassProc(editor, WM_KEYDOWN, wParam, lParam);
}

LRESULT editorChar(TGridWindow& window, HWND editor, WPARAM wParam, LPARAM lParam) {
  const wchar_t ch = static_cast<wchar_t>(wParam);
  const bool swallowed = window.swallowEditorChar;
  window.swallowEditorChar = false;
  if (ch == L'\r' || ch == 0x1B) {
    // Enter and Escape end the edit, after the key handler has done its part.
    window.input.charTyped(ch);
    return 0;
  }
  if (ch == L'\t' || swallowed) {
    return 0;
  }
  return DefSubclassProc(editor, WM_CHAR, wParam, lParam);
}

// The editor's paste, Ctrl+V and Shift+Insert alike: the clipboard's first
// line in place of the editor's selection, undoable as the EDIT's own. A
// clipboard that is busy or holds no text pastes nothing.
void editorPaste(HWND editor) {
  std::wstring text;
  {
    const TClipboardScope clipboard(editor);
    if (!clipboard.isOpen()) {
      return;
    }
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) {
      return;
    }
    const TGlobalLock lock(data);
    if (lock.data() == nullptr) {
      return;
    }
    // Bounded by the block's size: a text without its terminator is not read past its end.
    const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    const auto* chars = static_cast<const wchar_t*>(lock.data());
    std::size_t length = 0;
    while (length < capacity && chars[length] != L'\0') {
      ++length;
    }
    text.assign(chars, length);
  }
  const std::wstring line = editorPasteText(text);
  SendMessageW(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
}

void editorContextMenu(TGridWindow& window, LPARAM screenPosition) {
  const int x = GET_X_LPARAM(screenPosition);
  const int y = GET_Y_LPARAM(screenPosition);
  if (x == -1 && y == -1) {
    onContextMenu(window, screenPosition);
  } else if (window.input.hooks().contextMenu) {
    window.input.hooks().contextMenu(x, y);
  }
}

LRESULT CALLBACK editorProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  try {
    TGridWindow& window = *reinterpret_cast<TGridWindow*>(data);
    switch (message) {
      case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
      case WM_KEYDOWN:
        return editorKeyDown(window, editor, wParam, lParam);
      case WM_SYSKEYDOWN:
        if (sheetTakesAltKey(wParam)) {
          return editorKeyDown(window, editor, wParam, lParam);
        }
        break;
      case WM_CHAR:
        return editorChar(window, editor, wParam, lParam);
      case WM_SYSCHAR:
        if (wParam == L'\r') {
          return editorChar(window, editor, wParam, lParam);
        }
        break;
      case WM_PASTE:
        editorPaste(editor);
        return 0;
      case WM_CONTEXTMENU:
        // The sheet's menu, not the EDIT's own, over the edited cell too.
        editorContextMenu(window, lParam);
        return 0;
      case WM_NCDESTROY:
        RemoveWindowSubclass(editor, editorProc, kEditorSubclass);
        break;
      default:
        break;
    }
  } catch (...) {
    reportAtWall(L"the sheet's editor");
    return 0;
  }
  return DefSubclassProc(editor, message, wParam, lParam);
}

void hideEditor(TGridWindow& window) {
  window.editorCell = {-1, -1};
  if (!editorShown(window)) {
    return;
  }
  const bool hadFocus = GetFocus() == window.editor;
  ShowWindow(window.editor, SW_HIDE);
  if (hadFocus) {
    SetFocus(window.FWnd);
  }
}

}  // namespace

bool editorShown(const TGridWindow& window) {
  // The style, not IsWindowVisible: the sheet may sit in a hidden window.
  return window.editor != nullptr && (GetWindowLongPtrW(window.editor, GWL_STYLE) & WS_VISIBLE) != 0;
}

void createEditor(TGridWindow& window) {
  window.editor = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_LEFT | ES_AUTOHSCROLL, 0, 0, 0, 0, window.FWnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                                  GetModuleHandleW(nullptr), nullptr);
  if (window.editor == nullptr) {
    return;
  }
  SendMessageW(window.editor, WM_SETFONT, reinterpret_cast<WPARAM>(window.font.get()), FALSE);
  // The edited text stays where the cell showed it.
  SendMessageW(window.editor, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kTextMargin - 1, 1));
  SetWindowSubclass(window.editor, editorProc, kEditorSubclass, reinterpret_cast<DWORD_PTR>(&window));
  const TWindowDc dc(window.editor);
  if (dc) {
    TEXTMETRICW metrics{};
    const TSelectScope select(dc.get(), window.font.get());
    if (GetTextMetricsW(dc.get(), &metrics)) {
      window.editorLineHeight = metrics.tmHeight + 2;
    }
  }
}

void syncEditor(TGridWindow& window) {
  if (window.editor == nullptr) {
    return;
  }
  if (!window.grid.EditorMode()) {
    hideEditor(window);
    return;
  }
  const TGridCoord cell{window.grid.Col(), window.grid.Row()};
  const bool newCell = !(cell == window.editorCell);
  const std::wstring& text = window.grid.Cell(cell.X, cell.Y);
  // The editor shows the cell's line breaks as marks; the breaks it may give
  // back are those of the text it took up last.
  const std::wstring shown = textWithMarks(text);
  if (newCell || editorText(window.editor) != shown) {
    window.editorOpenedText = text;
  }
  if (editorText(window.editor) != shown) {
    const TScopedValue<bool> syncing(window.syncingEditor, true);
    SetWindowTextW(window.editor, shown.c_str());
  }
  if (newCell) {
    // A cell taken up whole: typing replaces it, as on a cell not yet edited.
    SendMessageW(window.editor, EM_SETSEL, 0, -1);
    window.editorCell = cell;
  }
  const std::optional<TCellRect> rect = cellRect(window.grid, cell.X, cell.Y);
  if (!rect) {
    // Scrolled out of view: the edit goes on, out of sight.
    ShowWindow(window.editor, SW_HIDE);
    return;
  }
  // A one-line EDIT puts its text at the top: it is made one line high and
  // centred in the cell, where the cell's own text showed.
  const int cellHeight = rect->bottom - rect->top;
  const int height = std::min(cellHeight, window.editorLineHeight);
  const int top = rect->top + (cellHeight - height) / 2;
  MoveWindow(window.editor, rect->left, top, rect->right - rect->left, height, TRUE);
  if (!editorShown(window)) {
    const bool sheetHadFocus = GetFocus() == window.FWnd;
    ShowWindow(window.editor, SW_SHOW);
    if (sheetHadFocus) {
      SetFocus(window.editor);
    }
  }
}

void onEditorChanged(TGridWindow& window) {
  if (window.syncingEditor || !window.grid.EditorMode()) {
    return;
  }
  const TGridCoord cell = window.editorCell;
  if (cell.X < 0) {
    return;
  }
  window.grid.setCell(cell.X, cell.Y, textFromEditor(editorText(window.editor), window.editorOpenedText));
}
