#include "app/win32/hidden_list_win32.h"

#include <commctrl.h>

#include "sheet/line_break_mark.h"

namespace {

constexpr const wchar_t* kHiddenListClass = L"THiddenListForm";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr int kClientWidth = 420;
constexpr int kClientHeight = 220;
constexpr int kItemHeight = 15;

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
  FFont = createPopupListFont(kItemHeight);
  createOwnedWindow(this, instance, kHiddenListClass, kHiddenListCaption, kStyle, kExStyle, kClientWidth, kClientHeight,
                    owner);
  return FWnd != nullptr && FList.handle() != nullptr;
}

LRESULT THiddenListWin32::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Another application's activation closes the list; its own does not.
  if (const std::optional<LRESULT> answered = FList.popupMessage(FWnd, message, wParam, lParam, true)) {
    return *answered;
  }
  switch (message) {
    case WM_CREATE:
      return FList.create(FWnd, kIdHiddenListBox, WS_HSCROLL, FFont.get(), kItemHeight, {}) ? 0 : -1;
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdHiddenListBox && HIWORD(wParam) == LBN_DBLCLK) {
        FList.event(TInputListEvent::DoubleClick);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(FWnd, message, wParam, lParam);
}

void THiddenListWin32::load(const std::vector<std::wstring>& lines) {
  // The widest line sets the horizontal scroll range: the list box keeps none of its own.
  const TWindowDc dc(FList.handle());
  const TSelectScope font(dc.get(), FFont.get());
  int widest = 0;
  for (const std::wstring& line : lines) {
    SIZE size{};
    const std::wstring shown = textWithMarks(line);
    GetTextExtentPoint32W(dc.get(), shown.c_str(), static_cast<int>(shown.size()), &size);
    widest = size.cx > widest ? size.cx : widest;
  }
  FList.fill(lines, widest + 8);
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
  placeOverOwner();
  return FList.showModal(FWnd, FOwner, nullptr);
}
