#include "app/win32/main_window.h"

#include <commctrl.h>
#include <imm.h>

#include "app/win32/popup_menu.h"
#include "app/win32/speed_button.h"
#include "platform/errors.h"
#include "platform/scoped_value.h"
#include "platform/win32/window_view.h"
#include "platform/win32/window_wall.h"
#include "sheet/win32/grid_control.h"
#include "writeback/pending_cells.h"

namespace {

constexpr const wchar_t* kMainWindowClass = L"TMorvaneForm";
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_APPWINDOW;
constexpr int kIconId = 1;

TGdiObject<HFONT> createTahoma(int pixelHeight) {
  return TGdiObject<HFONT>(CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

// The width of the status panel of the pending counts: their longest text
// (every count of two digits, cells changed in the drawing among them) in
// the bar's font, with the panel's border and the margins the bar draws text in.
int pendingPanelWidth(TWindow bar) {
  const std::wstring longest = pendingStatusText(TPendingCounts{88, 88, 88, 88, 88});
  const TWindowDc dc(bar.handle());
  const TSelectScope font(dc.get(), reinterpret_cast<HGDIOBJ>(bar.send(WM_GETFONT)));
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), longest.c_str(), static_cast<int>(longest.size()), &size);
  int borders[3] = {};  // around the bar, above and below, between the panels
  bar.send(SB_GETBORDERS, 0, borders);
  constexpr int kTextMargins = 2 * 6;
  return size.cx + kTextMargins + 2 * borders[2];
}

// The input method stays off in the tolerance and the log.
void disableInputMethod(HWND wnd) { ImmAssociateContext(wnd, nullptr); }

}  // namespace

bool registerMainWindowClasses(HINSTANCE instance) {
  const bool registered = registerOwnedWindowClass<TMainWindow>(instance, kMainWindowClass, 0,
                                                                 LoadIconW(instance, MAKEINTRESOURCEW(kIconId)));
  return registered && registerBevelPanelClass(instance);
}

bool TMainWindow::create(HINSTANCE instance) {
  if (!registerMainWindowClasses(instance)) {
    return false;
  }
  FFont = createTahoma(11);
  FEditFont = createTahoma(13);
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kMainStyle, FALSE, kMainExStyle);
  FWnd = nullptr;
  const HWND wnd = CreateWindowExW(kMainExStyle, kMainWindowClass, FForm.Window.Caption().c_str(),
                                   kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                   frame.bottom - frame.top, nullptr, nullptr, instance, this);
  return wnd != nullptr;
}

void TMainWindow::show(int showCommand) {
  ShowWindow(FWnd, showCommand);
  UpdateWindow(FWnd);
  FForm.FormShow();
  SetFocus(FSheet);
}

bool TMainWindow::dialogMessage(MSG& msg) {
  return FWnd != nullptr && IsDialogMessageW(FWnd, &msg) != FALSE;
}

LRESULT TMainWindow::afterFailure(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return -1;
    case WM_CLOSE:
      // As after a failed settings write: the window stays open and says why.
      try {
        FForm.ports().desktop.showError(caughtErrorMessage());
      } catch (...) {
        reportAtWall(L"the main window's error box");
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // the end of the session is never refused
    case WM_ENDSESSION:
      return 0;
    default:
      return DefWindowProcW(FWnd, message, wParam, lParam);
  }
}

LRESULT TMainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return onCreate() ? 0 : -1;
    case WM_SIZE:
      onSize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_GETMINMAXINFO:
      // Sent before WM_CREATE too, when nothing of the window is set up yet.
      onGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_WINDOWPOSCHANGED:
      FBinding.windowMoved();
      break;
    case WM_COMMAND:
      if (lParam != 0 && FBinding.command(reinterpret_cast<HWND>(lParam), HIWORD(wParam))) {
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
      onActivate(wParam);
      return 0;
    case WM_SETFOCUS:
      SetFocus(FFocus != nullptr ? FFocus : FSheet);
      return 0;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_QUERYENDSESSION:
      // Never refused; the log-off may still be cancelled, so nothing is written
      // and no close is put off for later.
      return TRUE;
    case WM_ENDSESSION:
      onEndSession(wParam != FALSE);
      return 0;
    case WM_DESTROY:
      FForm.OnDeferredClose = nullptr;
      FBinding.release();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(FWnd, message, wParam, lParam);
}

bool TMainWindow::onCreate() {
  TWindow(FWnd).setFont(FFont.get());
  // Created in tab order: the sheet, Button1, Button2, the panel's controls,
  // Button3, CheckBox5, Edit2, CheckBox6; the rest take no tab stop.
  TGridControlHooks sheetHooks = FForm.sheetHooks();
  sheetHooks.contextMenu = [this](int x, int y) { onContextMenu(x, y); };
  FSheet = createGridControl(FWnd, kIdSheet, FForm.StringGrid1, std::move(sheetHooks));
  if (FSheet == nullptr) {
    return false;
  }
  MoveWindow(FSheet, 0, 74, 581, 182, FALSE);
  place(FSheet, 0, 74, 581, 182, true, true);
  createTopRow();
  createPanel();
  createBottom();
  bindControls();
  FForm.OnDeferredClose = [this] { PostMessageW(FWnd, WM_CLOSE, 0, 0); };
  FForm.FormCreate();
  return true;
}

void TMainWindow::createTopRow() {
  const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  const DWORD check = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX;
  const DWORD edit = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
  child(FWnd, WC_BUTTONW, L"取得", button, 0, 4, 0, 50, 32, kIdButton1, FFont.get());
  child(FWnd, WC_BUTTONW, L"更新", button, 0, 4, 36, 50, 32, kIdButton2, FFont.get());
  // Panel1 and its children come between Button2 and Button3 in the tab order.
  FPanel = child(FWnd, kBevelPanelClass, L"", WS_CHILD | WS_VISIBLE, WS_EX_CONTROLPARENT, 114, 36,
                 361, 32, kIdPanel1, FFont.get(), &FBevel);
  child(FWnd, WC_BUTTONW, L"Excelへ", button, 0, 62, 36, 54, 32, kIdButton3, FFont.get());
  child(FWnd, WC_BUTTONW, L"除外画層フィルター", check, 0, 160, 13, 115, 17, kIdCheckBox5, FFont.get());
  child(FWnd, WC_EDITW, L"", edit, WS_EX_CLIENTEDGE, 281, 9, 292, 24, kIdEdit2, FEditFont.get());
  FLayout.back().right = true;
  child(FWnd, WC_BUTTONW, L"矢印描画", check, 0, 67, 13, 78, 17, kIdCheckBox6, FFont.get());
}

void TMainWindow::createPanel() {
  const DWORD check = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX;
  child(FPanel, WC_BUTTONW, L"1行目固定", check, 0, 8, 8, 89, 17, kIdCheckBox1, FFont.get());
  child(FPanel, WC_BUTTONW, L"Enter:[→]", check, 0, 89, 8, 80, 17, kIdCheckBox2, FFont.get());
  child(FPanel, WC_BUTTONW, L"Enter:[↓]", check, 0, 159, 4, 66, 25, kIdCheckBox3, FFont.get());
  child(FPanel, WC_BUTTONW, L"a -> A", check, 0, 223, 8, 58, 17, kIdCheckBox4, FFont.get());
  child(FPanel, WC_STATICW, L"許容", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 282, 9, 24, 13, kIdLabel1,
        FFont.get());
  const HWND edit1 = child(FPanel, WC_EDITW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT,
                           WS_EX_CLIENTEDGE, 311, 6, 44, 24, kIdEdit1, FEditFont.get());
  disableInputMethod(edit1);
}

void TMainWindow::createBottom() {
  const DWORD speed = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
  makeSpeedButton(child(FWnd, WC_BUTTONW, L"入力候補", speed, 0, 475, 36, 63, 32, kIdSpeedButton2,
                        FFont.get()));
  makeSpeedButton(
      child(FWnd, WC_BUTTONW, L"UNDO", speed, 0, 539, 36, 38, 32, kIdSpeedButton1, FFont.get()));

  FMemo = child(FWnd, WC_EDITW, L"",
                WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                    ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                WS_EX_CLIENTEDGE, 0, 259, 581, 61, kIdMemo1, FFont.get());
  FLayout.back().right = true;
  FLayout.back().bottom = true;
  FLayout.back().top = false;
  TWindow(FMemo).send(EM_SETLIMITTEXT);
  disableInputMethod(FMemo);

  child(FWnd, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 319, 581, 12, kIdProgressBar1, nullptr);
  FLayout.back().right = true;
  FLayout.back().bottom = true;
  FLayout.back().top = false;

  // Placed by onSize along the bottom edge, at its fixed height.
  FStatusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                               WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE |
                                   CCS_NOPARENTALIGN | CCS_NODIVIDER,
                               0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight,
                               FWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusBar1)),
                               nullptr, nullptr);
  const TWindow bar(FStatusBar);
  bar.setFont(FFont.get());
  // The last panel, why a command ended quietly, takes what is left up to the grip.
  int edges[TStatusBar::kPanels] = {kStatusEdges[0], kStatusEdges[1], kStatusEdges[1] + pendingPanelWidth(bar), -1};
  bar.send(SB_SETPARTS, TStatusBar::kPanels, edges);
}

void TMainWindow::bindControls() {
  const auto item = [this](HWND parent, int id) { return GetDlgItem(parent, id); };
  FBinding.bindButton(FForm.Button1, item(FWnd, kIdButton1));
  FBinding.bindCheckBox(FForm.CheckBox6, item(FWnd, kIdCheckBox6));
  FBinding.bindCheckBox(FForm.CheckBox5, item(FWnd, kIdCheckBox5));
  FBinding.bindEdit(FForm.Edit2, item(FWnd, kIdEdit2));
  FBinding.bindButton(FForm.Button2, item(FWnd, kIdButton2));
  FBinding.bindButton(FForm.Button3, item(FWnd, kIdButton3));
  FBinding.bindCheckBox(FForm.CheckBox1, item(FPanel, kIdCheckBox1));
  FBinding.bindCheckBox(FForm.CheckBox2, item(FPanel, kIdCheckBox2));
  FBinding.bindCheckBox(FForm.CheckBox3, item(FPanel, kIdCheckBox3));
  FBinding.bindCheckBox(FForm.CheckBox4, item(FPanel, kIdCheckBox4));
  FBinding.bindLabel(FForm.Label1, item(FPanel, kIdLabel1));
  FBinding.bindEdit(FForm.Edit1, item(FPanel, kIdEdit1));
  FBinding.bindButton(FForm.SpeedButton2, item(FWnd, kIdSpeedButton2));
  FBinding.bindButton(FForm.SpeedButton1, item(FWnd, kIdSpeedButton1));
  FBinding.bindMemo(FForm.Memo1, FMemo);
  FBinding.bindProgressBar(FForm.ProgressBar1, item(FWnd, kIdProgressBar1));
  FBinding.bindStatusBar(FForm.StatusBar1, FStatusBar);
  FBinding.bindWindow(FForm.Window, FWnd);
}

HWND TMainWindow::child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                        DWORD exStyle, int x, int y, int width, int height, int id, HFONT font,
                        void* owner) {
  const HWND wnd = CreateWindowExW(exStyle, windowClass, text, style, x, y, width, height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, owner);
  if (wnd != nullptr && font != nullptr) {
    TWindow(wnd).setFont(font);
  }
  // Children of the panel keep their place in it; only the main window's own children move.
  if (parent == FWnd) {
    place(wnd, x, y, width, height, false, false);
  }
  return wnd;
}

HWND TMainWindow::place(HWND wnd, int x, int y, int width, int height, bool right, bool bottom, bool top) {
  FLayout.push_back(TPlacement{wnd, RECT{x, y, x + width, y + height}, right, bottom, top});
  return wnd;
}

void TMainWindow::onSize(int width, int height) {
  const int dx = width - kClientWidth;
  const int dy = height - kClientHeight;
  for (const TPlacement& p : FLayout) {
    RECT r = p.place;
    if (p.right) r.right += dx;
    if (p.bottom) {
      r.bottom += dy;
      if (!p.top) r.top += dy;
    }
    MoveWindow(p.wnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
  if (FStatusBar != nullptr) {
    MoveWindow(FStatusBar, 0, height - kStatusBarHeight, width, kStatusBarHeight, TRUE);
    // The bar repaints only what the move uncovered: the grip drawn at the
    // old right edge would stay in the middle of the last panel.
    InvalidateRect(FStatusBar, nullptr, TRUE);
  }
}

void TMainWindow::onGetMinMaxInfo(MINMAXINFO& info) const {
  // The controls of the top rows keep their places and sizes, so the width
  // they were laid out in is the least that shows them all; the sheet keeps
  // room for its header and a few data rows, the log its own height.
  RECT frame{0, 0, kClientWidth, kMinClientHeight};
  AdjustWindowRectEx(&frame, kMainStyle, FALSE, kMainExStyle);
  info.ptMinTrackSize.x = frame.right - frame.left;
  info.ptMinTrackSize.y = frame.bottom - frame.top;
}

void TMainWindow::onClose() {
  // A second close while the error box of a failed write is open waits for the first.
  if (FClosing) {
    return;
  }
  bool mayClose = false;
  {
    const TScopedValue<bool> closing(FClosing, true);
    mayClose = FForm.FormCloseQuery();
  }
  if (mayClose) {
    DestroyWindow(FWnd);
  }
}

void TMainWindow::onEndSession(bool ending) {
  // The session ends without WM_CLOSE: the settings are written now, even in
  // the middle of a command, whose loop the system ends with the process.
  if (ending) {
    FForm.writeSettingsFile();
  }
}

void TMainWindow::onActivate(WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(FWnd, focus) != FALSE) FFocus = focus;
  } else if (HIWORD(state) == 0) {
    SetFocus(FFocus != nullptr ? FFocus : FSheet);
  }
}

LRESULT TMainWindow::onCtlColorStatic(HDC dc, HWND control) {
  // A read-only edit asks as a static; the log keeps the white of an edit.
  if (control == FMemo) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return DefWindowProcW(FWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(control));
}

void TMainWindow::onContextMenu(int screenX, int screenY) {
  showPopupMenu(FWnd, FForm.popupMenuItems(), screenX, screenY);
}
