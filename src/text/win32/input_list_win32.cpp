#include "text/win32/input_list_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "text/win32/modal_loop.h"

namespace {

constexpr const wchar_t* kInputListClass = L"TInputListForm";
constexpr int kClientWidth = 296;
constexpr int kClientHeight = 200;
constexpr int kItemHeight = 15;
constexpr UINT_PTR kListSubclass = 1;

RECT windowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

}  // namespace

TInputListWin32::~TInputListWin32() {
  if (FWnd != nullptr) {
    DestroyWindow(FWnd);
  }
}

void TInputListWin32::CreateParams(TCreateParams& params) {
  // No caption bar, a thin border and a sizing frame; always on top, with a shadow.
  params.style = WS_POPUP | WS_BORDER | WS_THICKFRAME;
  params.exStyle |= WS_EX_TOPMOST;
  params.windowClassStyle |= CS_DROPSHADOW;
}

bool TInputListWin32::create(HINSTANCE instance, HWND owner) {
  TCreateParams params;
  CreateParams(params);
  if (!registerOwnedWindowClass<TInputListWin32>(instance, kInputListClass, params.windowClassStyle)) {
    return false;
  }
  FOwner = owner;
  FFont.reset(CreateFontW(-kItemHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック"));
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, params.style, FALSE, params.exStyle);
  // The caption is kept but not shown: the popup has no caption bar.
  CreateWindowExW(params.exStyle, kInputListClass, L"入力候補", params.style, 0, 0, frame.right - frame.left,
                  frame.bottom - frame.top, owner, nullptr, instance, this);
  return FWnd != nullptr && FList != nullptr;
}

LRESULT TInputListWin32::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FList = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0,
                              kClientWidth, kClientHeight, FWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdInputListBox)), nullptr, nullptr);
      if (FList == nullptr) {
        return -1;
      }
      SendMessageW(FList, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
      SendMessageW(FList, LB_SETITEMHEIGHT, 0, kItemHeight);
      SetWindowSubclass(FList, listProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
      return 0;
    case WM_SIZE:
      // ListBox1 fills the client area, whatever size the user gives the popup.
      MoveWindow(FList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdInputListBox && HIWORD(wParam) == LBN_SELCHANGE) {
        ListBox1Click();
      } else if (LOWORD(wParam) == kIdInputListBox && HIWORD(wParam) == LBN_DBLCLK) {
        ListBox1DblClick();
      }
      return 0;
    case WM_ACTIVATEAPP: {
      const LRESULT result = DefWindowProcW(FWnd, message, wParam, lParam);
      if (FShown) {
        event(TInputListEvent::AppActivation);
      }
      return result;
    }
    case WM_CLOSE:
      event(TInputListEvent::Escape);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(FWnd, message, wParam, lParam);
}

LRESULT CALLBACK TInputListWin32::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
  try {
    auto& self = *reinterpret_cast<TInputListWin32*>(data);
    switch (message) {
      case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_KEYDOWN:
        if (self.ListBox1KeyDown(wParam)) {
          return 0;
        }
        break;
      case WM_RBUTTONDOWN:
        self.ListBox1MouseDown(message);
        return 0;
      case WM_LBUTTONUP: {
        // A click on the entry that is selected already changes no selection
        // and sends no notification; it picks the entry all the same.
        const LRESULT item = SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam);
        const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
        if (HIWORD(item) == 0 && self.FClose == TInputListClose::Stay) {
          self.ListBox1Click();
        }
        return result;
      }
      case WM_NCDESTROY:
        RemoveWindowSubclass(list, listProc, kListSubclass);
        break;
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

void TInputListWin32::event(TInputListEvent what) {
  if (!FShown || FClose != TInputListClose::Stay) {
    return;
  }
  FClose = inputListClose(what);
}

void TInputListWin32::ListBox1Click() { event(TInputListEvent::SelectionChanged); }

void TInputListWin32::ListBox1DblClick() { event(TInputListEvent::DoubleClick); }

bool TInputListWin32::ListBox1KeyDown(WPARAM key) {
  if (key == VK_RETURN || key == VK_ESCAPE) {
    event(key == VK_RETURN ? TInputListEvent::Enter : TInputListEvent::Escape);
    return true;
  }
  return false;
}

void TInputListWin32::ListBox1MouseDown(UINT buttonMessage) {
  if (buttonMessage == WM_RBUTTONDOWN) {
    event(TInputListEvent::RightButtonDown);
  }
}

void TInputListWin32::load(const std::vector<std::wstring>& list) {
  SendMessageW(FList, WM_SETREDRAW, FALSE, 0);
  SendMessageW(FList, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& text : list) {
    SendMessageW(FList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(FList, LB_SETCURSEL, 0, 0);
  SendMessageW(FList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FList, nullptr, TRUE);
}

int TInputListWin32::outerWidth() {
  const RECT r = windowRect(FWnd);
  return r.right - r.left;
}

int TInputListWin32::outerHeight() {
  const RECT r = windowRect(FWnd);
  return r.bottom - r.top;
}

void TInputListWin32::moveTo(TScreenPoint topLeft) {
  SetWindowPos(FWnd, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TInputListWin32::setTopmost(bool on) {
  SetWindowPos(FWnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TInputListWin32::FormShow() { setTopmost(true); }

std::optional<std::wstring> TInputListWin32::ShowModal() {
  FClose = TInputListClose::Stay;
  ShowWindow(FWnd, SW_SHOW);
  FormShow();
  SetForegroundWindow(FWnd);
  SetFocus(FList);
  FShown = true;
  runModalLoop(FWnd, FOwner, [this] { return FClose != TInputListClose::Stay; }, false);
  FShown = false;
  ShowWindow(FWnd, SW_HIDE);
  if (FClose != TInputListClose::Ok) {
    return std::nullopt;
  }
  const LRESULT index = SendMessageW(FList, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) {
    return std::nullopt;
  }
  const LRESULT length = SendMessageW(FList, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) {
    return std::nullopt;
  }
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(FList, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  return std::wstring(buffer.data(), static_cast<std::size_t>(length));
}
