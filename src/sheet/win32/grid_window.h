#pragma once
// The sheet window's state and the handlers its window procedure dispatches
// to: painting (grid_paint.cpp), scrolling (grid_scroll.cpp), keys and mouse
// (grid_window_input.cpp), the in-place editor (grid_editor.cpp).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "sheet/grid_input.h"
#include "sheet/win32/gdi_text_metrics.h"
#include "platform/scoped_value.h"
#include "platform/win32/handle_owners.h"

#include "sheet/win32/grid_control.h"


struct TGridWindow {
  TGridWindow(TStringGrid& model, TGridControlHooks ownerHooks);
  TGridWindow(const TGridWindow&) = delete;
  TGridWindow& operator=(const TGridWindow&) = delete;

  // The window procedure's side (ownedWindowProc): until the control is set
  // up every message has the default handling.
  static constexpr const wchar_t* kWallName = L"the sheet";
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // A failing message is answered 0, as handled.
  LRESULT afterFailure(UINT, WPARAM, LPARAM) { return 0; }

  HWND FWnd = nullptr;
  // Set once createGridControl has set the control up: from then on the
  // window owns this state and frees it when it is destroyed.
  bool ready = false;
  TStringGrid& grid;
  TGdiTextMetrics metrics;  // the sheet's font, for fitting a column to its texts
  TGridInput input;  // holds the owner's hooks
  TGdiObject<HFONT> font;
  TGdiObject<HBRUSH> headerBrush;
  TGdiObject<HBRUSH> lineBrush;
  // The bitmap the sheet is painted into before it goes to the screen, kept
  // between paints and made anew only when the sheet grows past it.
  std::unique_ptr<TOffscreenDc> buffer;

  HWND editor = nullptr;  // a child: destroyed with the sheet
  int editorLineHeight = 16;
  TGridCoord editorCell{-1, -1};
  std::wstring editorOpenedText;  // the cell's text when the editor took it up
  bool syncingEditor = false;
  bool swallowEditorChar = false;
  bool inModelChange = false;
  bool updatingScrollBars = false;
};

inline constexpr int kEditorId = 1;

// Painting.
void paintGrid(TGridWindow& window, HDC dc, int width, int height, bool focused);
void onPaint(TGridWindow& window);

// Scrolling.
void updateScrollBars(TGridWindow& window);
void onScroll(TGridWindow& window, int bar, int code);
void onMouseWheel(TGridWindow& window, int delta);

// Keys and mouse.
TShiftState currentShift();
// Keys that keep their meaning in the sheet with Alt held (WM_SYSKEYDOWN);
// every other Alt key, Alt+F4 and menu access among them, is the system's.
bool sheetTakesAltKey(WPARAM key);
void onKeyDown(TGridWindow& window, WPARAM key);
void onChar(TGridWindow& window, wchar_t ch);
void onMouseButton(TGridWindow& window, UINT message, LPARAM position);
void onMouseMove(TGridWindow& window, LPARAM position);
bool onSetCursor(TGridWindow& window);
void onContextMenu(TGridWindow& window, LPARAM screenPosition);

// The in-place editor.
void createEditor(TGridWindow& window);
bool editorShown(const TGridWindow& window);
void syncEditor(TGridWindow& window);
void onEditorChanged(TGridWindow& window);
