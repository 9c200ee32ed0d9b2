#include "app/win32/hidden_list_win32.h"

#include <commctrl.h>

#include "text/win32/modal_loop.h"

namespace {

constexpr const wchar_t* kHiddenListClass = L"THiddenListForm";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr int kClientWidth = 420;
constexpr int kClientHeight = 220;
constexpr int kItemHeight = 15;
constexpr UINT_PTR kListSubclass = 1;

}  // namespace

THiddenListWin32::~THiddenListWin32() {
  if (FWnd != nullptr) {
    DestroyWindow(FWnd);
  }
}

bool THiddenListWin32::create(HINSTANCE instance, HWND owner) {
  if (!registerOwnedWindowClass<THiddenListWin32>(instance, kHiddenListClass)) {
    return false;
  }
  FOwner = owner;
  FFont.reset(CreateFontW(-kItemHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック"));
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  CreateWindowExW(kExStyle, kHiddenListClass, kHiddenListCaption, kStyle, 0, 0, frame.right - frame.left,
                  frame.bottom - frame.top, owner, nullptr, instance, this);
  return FWnd != nullptr && FList != nullptr;
}

LRESULT THiddenListWin32::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FList = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0,
                              0, kClientWidth, kClientHeight, FWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdHiddenListBox)), nullptr, nullptr);
      if (FList == nullptr) {
        return -1;
      }
      SendMessageW(FList, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
      SendMessageW(FList, LB_SETITEMHEIGHT, 0, kItemHeight);
      SetWindowSubclass(FList, listProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
      return 0;
    case WM_SIZE:
      MoveWindow(FList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdHiddenListBox && HIWORD(wParam) == LBN_DBLCLK) {
        event(TInputListEvent::DoubleClick);
      }
      return 0;
    case WM_ACTIVATEAPP: {
      const LRESULT result = DefWindowProcW(FWnd, message, wParam, lParam);
      if (FShown && wParam == FALSE) {
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

LRESULT CALLBACK THiddenListWin32::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
  try {
    auto& self = *reinterpret_cast<THiddenListWin32*>(data);
    switch (message) {
      case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
          self.event(TInputListEvent::Enter);
          return 0;
        }
        if (wParam == VK_ESCAPE) {
          self.event(TInputListEvent::Escape);
          return 0;
        }
        break;
      case WM_RBUTTONDOWN:
        self.event(TInputListEvent::RightButtonDown);
        return 0;
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

void THiddenListWin32::event(TInputListEvent what) {
  if (!FShown || FClose != TInputListClose::Stay) {
    return;
  }
  FClose = hiddenListClose(what);
}

void THiddenListWin32::load(const std::vector<std::wstring>& lines) {
  SendMessageW(FList, WM_SETREDRAW, FALSE, 0);
  SendMessageW(FList, LB_RESETCONTENT, 0, 0);
  // The widest line sets the horizontal scroll range: the list box keeps none of its own.
  const TWindowDc dc(FList);
  const TSelectScope font(dc.get(), FFont.get());
  int widest = 0;
  for (const std::wstring& line : lines) {
    SendMessageW(FList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &size);
    widest = size.cx > widest ? size.cx : widest;
  }
  SendMessageW(FList, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
  SendMessageW(FList, LB_SETCURSEL, 0, 0);
  SendMessageW(FList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FList, nullptr, TRUE);
}

// Over the middle of the main window, whose topmost band it shares.
void THiddenListWin32::placeOverOwner() {
  RECT owner{};
  RECT self{};
  GetWindowRect(FOwner, &owner);
  GetWindowRect(FWnd, &self);
  const int x = owner.left + ((owner.right - owner.left) - (self.right - self.left)) / 2;
  const int y = owner.top + ((owner.bottom - owner.top) - (self.bottom - self.top)) / 2;
  SetWindowPos(FWnd, HWND_TOPMOST, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

std::optional<std::size_t> THiddenListWin32::ShowModal() {
  FClose = TInputListClose::Stay;
  placeOverOwner();
  ShowWindow(FWnd, SW_SHOW);
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
  if (index == LB_ERR || index < 0) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(index);
}
