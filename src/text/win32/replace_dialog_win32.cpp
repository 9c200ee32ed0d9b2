#include "text/win32/replace_dialog_win32.h"

#include <commctrl.h>

#include "platform/win32/window_view.h"
#include "text/win32/modal_loop.h"

namespace {

constexpr const wchar_t* kReplaceDialogClass = L"TnTextTikanForm";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 203;
constexpr int kClientHeight = 128;

HFONT tahoma(int pixelHeight, int weight) {
  return CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

}  // namespace

TReplaceDialogWin32::~TReplaceDialogWin32() {
  if (FWnd != nullptr) {
    DestroyWindow(FWnd);
  }
}

bool TReplaceDialogWin32::create(HINSTANCE instance, HWND owner) {
  if (!registerOwnedWindowClass<TReplaceDialogWin32>(instance, kReplaceDialogClass)) {
    return false;
  }
  FOwner = owner;
  FFont.reset(tahoma(11, FW_NORMAL));
  FEditFont.reset(tahoma(12, FW_BOLD));
  createOwnedWindow(this, instance, kReplaceDialogClass, L"文字列置換", kStyle, kExStyle, kClientWidth, kClientHeight,
                    owner);
  return FWnd != nullptr;
}

LRESULT TReplaceDialogWin32::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      createControls();
      FormCreate();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kIdReplaceButton1) {
        FResult = TResult::Ok;
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kIdReplaceButton2) {
        FResult = TResult::Cancel;
        return 0;
      }
      // Enter and Escape (IDOK, IDCANCEL from the dialog keys) close nothing.
      return 0;
    case WM_CLOSE:
      FResult = TResult::Cancel;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(FWnd, message, wParam, lParam);
}

HWND TReplaceDialogWin32::control(const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle, int x,
                                  int y, int width, int height, int id, HFONT font) {
  const HWND wnd = CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, FWnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  TWindow(wnd).setFont(font);
  return wnd;
}

void TReplaceDialogWin32::createControls() {
  // Created in tab order; the labels take no tab stop.
  const DWORD edit = WS_TABSTOP | ES_AUTOHSCROLL;
  control(WC_EDITW, L"", edit, WS_EX_CLIENTEDGE, 74, 31, 121, 22, kIdReplaceEdit1, FEditFont.get());
  control(WC_EDITW, L"", edit, WS_EX_CLIENTEDGE, 74, 58, 121, 22, kIdReplaceEdit2, FEditFont.get());
  control(WC_BUTTONW, L"実行", WS_TABSTOP | BS_PUSHBUTTON, 0, 23, 95, 75, 25, kIdReplaceButton1, FFont.get());
  control(WC_BUTTONW, L"取り消し", WS_TABSTOP | BS_PUSHBUTTON, 0, 104, 95, 75, 25, kIdReplaceButton2, FFont.get());
  control(WC_BUTTONW, L"大文字/小文字を無視", WS_TABSTOP | BS_AUTOCHECKBOX, 0, 74, 8, 137, 17, kIdReplaceCheckBox1,
          FFont.get());
  control(WC_STATICW, L"検索文字列", SS_LEFT, 0, 8, 34, 64, 13, kIdReplaceLabel1, FFont.get());
  control(WC_STATICW, L"置換文字列", SS_LEFT, 0, 8, 61, 64, 13, kIdReplaceLabel2, FFont.get());
}

void TReplaceDialogWin32::FormCreate() {
  setTexts(L"", L"");
  CheckDlgButton(FWnd, kIdReplaceCheckBox1, BST_CHECKED);
}

void TReplaceDialogWin32::setTopmost(bool on) {
  SetWindowPos(FWnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TReplaceDialogWin32::setTexts(const std::wstring& find, const std::wstring& replacement) {
  SetDlgItemTextW(FWnd, kIdReplaceEdit1, find.c_str());
  SetDlgItemTextW(FWnd, kIdReplaceEdit2, replacement.c_str());
}

std::wstring TReplaceDialogWin32::findText() { return TWindow(GetDlgItem(FWnd, kIdReplaceEdit1)).text(); }

std::wstring TReplaceDialogWin32::replacementText() { return TWindow(GetDlgItem(FWnd, kIdReplaceEdit2)).text(); }

bool TReplaceDialogWin32::ignoreCase() { return IsDlgButtonChecked(FWnd, kIdReplaceCheckBox1) == BST_CHECKED; }

void TReplaceDialogWin32::centreOverOwner() {
  RECT owner{};
  RECT self{};
  GetWindowRect(FOwner, &owner);
  GetWindowRect(FWnd, &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  const int left = owner.left + (owner.right - owner.left - width) / 2;
  const int top = owner.top + (owner.bottom - owner.top - height) / 2;
  SetWindowPos(FWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TReplaceDialogWin32::ShowModal() {
  FResult = TResult::Open;
  centreOverOwner();
  ShowWindow(FWnd, SW_SHOW);
  SetForegroundWindow(FWnd);
  const TWindow edit1(GetDlgItem(FWnd, kIdReplaceEdit1));
  SetFocus(edit1.handle());
  edit1.send(EM_SETSEL, 0, -1);
  runModalLoop(FWnd, FOwner, [this] { return FResult != TResult::Open; }, true);
  ShowWindow(FWnd, SW_HIDE);
  return FResult == TResult::Ok;
}
