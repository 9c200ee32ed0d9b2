#include "text/win32/input_list_win32.h"

#include <commctrl.h>

#include "text/win32/modal_loop.h"

namespace {

constexpr const wchar_t* kInputListClass = L"TInputListForm";
constexpr int kClientWidth = 296;
constexpr int kClientHeight = 200;
constexpr int kItemHeight = 15;

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
  FFont = createPopupListFont(kItemHeight);
  // The caption is kept but not shown: the popup has no caption bar.
  createOwnedWindow(this, instance, kInputListClass, L"入力候補", params.style, params.exStyle, kClientWidth,
                    kClientHeight, owner);
  return FWnd != nullptr && FList.handle() != nullptr;
}

LRESULT TInputListWin32::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // ListBox1 fills the client area, whatever size the user gives the popup;
  // any change of the application's activation closes it.
  if (const std::optional<LRESULT> answered = FList.popupMessage(FWnd, message, wParam, lParam, false)) {
    return *answered;
  }
  switch (message) {
    case WM_CREATE: {
      TPopupList::THooks hooks;
      hooks.keyDown = [this](WPARAM key) { return ListBox1KeyDown(key); };
      hooks.rightButtonDown = [this] { ListBox1MouseDown(WM_RBUTTONDOWN); };
      hooks.clickOnEntry = [this] { ListBox1Click(); };
      return FList.create(FWnd, kIdInputListBox, 0, FFont.get(), kItemHeight, std::move(hooks)) ? 0 : -1;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdInputListBox && HIWORD(wParam) == LBN_SELCHANGE) {
        ListBox1Click();
      } else if (LOWORD(wParam) == kIdInputListBox && HIWORD(wParam) == LBN_DBLCLK) {
        ListBox1DblClick();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(FWnd, message, wParam, lParam);
}

void TInputListWin32::ListBox1Click() { FList.event(TInputListEvent::SelectionChanged); }

void TInputListWin32::ListBox1DblClick() { FList.event(TInputListEvent::DoubleClick); }

bool TInputListWin32::ListBox1KeyDown(WPARAM key) {
  const std::optional<TInputListEvent> what = popupListKey(key);
  if (what) {
    FList.event(*what);
  }
  return what.has_value();
}

void TInputListWin32::ListBox1MouseDown(UINT buttonMessage) {
  if (buttonMessage == WM_RBUTTONDOWN) {
    FList.event(TInputListEvent::RightButtonDown);
  }
}

void TInputListWin32::load(const std::vector<std::wstring>& list) { FList.fill(list); }

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
  const std::optional<std::size_t> index = FList.showModal(FWnd, FOwner, [this] { FormShow(); });
  if (!index) {
    return std::nullopt;
  }
  return FList.entry(*index);
}
