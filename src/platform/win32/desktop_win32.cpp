#include "platform/win32/desktop_win32.h"

#include <cwchar>
#include <vector>

#include "platform/errors.h"
#include "platform/win32/clipboard_scope.h"
#include "platform/win32/handle_owners.h"
#include "platform/win32/system_message.h"

namespace {

struct TWindowSearch {
  const std::wstring* title = nullptr;
  HWND found = nullptr;
};

std::wstring windowTitle(HWND wnd) {
  const int length = GetWindowTextLengthW(wnd);
  if (length <= 0) {
    return std::wstring();
  }
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(wnd, buffer.data(), length + 1);
  return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

BOOL CALLBACK matchTitle(HWND wnd, LPARAM param) noexcept {
  auto* search = reinterpret_cast<TWindowSearch*>(param);
  try {
    const std::wstring title = windowTitle(wnd);
    // The whole title, case-insensitively: "nanoCAD 5 - drawing" is not a match.
    if (title.size() == search->title->size() &&
        CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title.c_str(), static_cast<int>(title.size()),
                       search->title->c_str(), static_cast<int>(search->title->size())) == CSTR_EQUAL) {
      search->found = wnd;
      return FALSE;
    }
  } catch (...) {
    // An allocation failure here must not unwind through EnumWindows.
  }
  return TRUE;
}

}  // namespace

TWnd TDesktopWin32::findTopLevelWindow(const std::wstring& title) {
  TWindowSearch search;
  search.title = &title;
  EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
  return fromHwnd(search.found);
}

TWnd TDesktopWin32::getForegroundWindow() { return fromHwnd(GetForegroundWindow()); }

void TDesktopWin32::setForegroundWindow(TWnd wnd) { SetForegroundWindow(toHwnd(wnd)); }

void TDesktopWin32::bringWindowToTop(TWnd wnd) { BringWindowToTop(toHwnd(wnd)); }

bool TDesktopWin32::isIconic(TWnd wnd) { return IsIconic(toHwnd(wnd)) != FALSE; }

void TDesktopWin32::openIcon(TWnd wnd) { OpenIcon(toHwnd(wnd)); }

void TDesktopWin32::minimizeWindow(TWnd wnd) { ShowWindow(toHwnd(wnd), SW_MINIMIZE); }

void TDesktopWin32::restoreWindow(TWnd wnd) { ShowWindow(toHwnd(wnd), SW_RESTORE); }

std::uint32_t TDesktopWin32::windowThreadId(TWnd wnd) {
  return wnd == 0 ? 0 : GetWindowThreadProcessId(toHwnd(wnd), nullptr);
}

void TDesktopWin32::attachThreadInput(std::uint32_t fromThread, std::uint32_t toThread, bool attach) {
  AttachThreadInput(fromThread, toThread, attach ? TRUE : FALSE);
}

TWnd TDesktopWin32::childWindow(TWnd wnd) { return wnd == 0 ? 0 : fromHwnd(GetWindow(toHwnd(wnd), GW_CHILD)); }

TWnd TDesktopWin32::nextWindow(TWnd wnd) { return wnd == 0 ? 0 : fromHwnd(GetWindow(toHwnd(wnd), GW_HWNDNEXT)); }

TScreenRect TDesktopWin32::windowRect(TWnd wnd) {
  RECT r{};
  if (wnd == 0 || GetWindowRect(toHwnd(wnd), &r) == FALSE) {
    return {};
  }
  return {r.left, r.top, r.right, r.bottom};
}

// Straight onto the screen's device context: the desktop window's, or, where
// the desktop window cannot be found by its class (Wine), the whole screen's.
void TDesktopWin32::drawScreenLines(const std::vector<TScreenPoint>& points, int penWidth, std::uint32_t colour) {
  if (points.empty()) {
    return;
  }
  const TWindowDc screen(FindWindowW(L"#32769", nullptr));
  if (!screen) {
    return;
  }
  const TGdiObject<HPEN> pen(CreatePen(PS_SOLID, penWidth, static_cast<COLORREF>(colour)));
  if (!pen) {
    return;
  }
  const TSelectScope selected(screen.get(), pen.get());
  MoveToEx(screen.get(), points.front().x, points.front().y, nullptr);
  for (std::size_t i = 1; i < points.size(); ++i) {
    LineTo(screen.get(), points[i].x, points[i].y);
  }
}

void TDesktopWin32::keyEvent(std::uint8_t virtualKey, bool keyUp) {
  keybd_event(virtualKey, 0, keyUp ? KEYEVENTF_KEYUP : 0, 0);
}

void TDesktopWin32::sleep(std::uint32_t milliseconds) { Sleep(milliseconds); }

std::uint32_t TDesktopWin32::tickCount() { return GetTickCount(); }

void TDesktopWin32::processMessages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    if (msg.message == WM_QUIT) {
      // The quit belongs to the main message loop: leave it for that loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool TDesktopWin32::setClipboardText(const std::wstring& text) {
  // The block is filled before the clipboard is opened and emptied: a failed
  // allocation leaves the clipboard holding what it held.
  TGlobalMemory memory(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  {
    const TGlobalLock lock(memory.get());
    if (lock.data() == nullptr) {
      throw TMorvaneError(L"クリップボードに書き込めません: " + systemMessage(GetLastError()));
    }
    auto* target = static_cast<wchar_t*>(lock.data());
    text.copy(target, text.size());
    target[text.size()] = L'\0';
  }
  const TClipboardScope clipboard(FOwner);
  if (!clipboard.isOpen()) {
    return false;
  }
  EmptyClipboard();
  // The clipboard owns the block only once SetClipboardData succeeds.
  if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
    throw TMorvaneError(L"クリップボードに書き込めません: " + systemMessage(GetLastError()));
  }
  memory.release();
  return true;
}

std::optional<std::wstring> TDesktopWin32::getClipboardText() {
  const TClipboardScope clipboard(FOwner);
  if (!clipboard.isOpen()) {
    throw TMorvaneError(L"クリップボード " + systemMessage(clipboard.error()) + L" を開けません");
  }
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) {
    return std::nullopt;
  }
  const TGlobalLock lock(data);
  if (lock.data() == nullptr) {
    return std::nullopt;
  }
  // Bounded by the block's size: a text without its terminator is not read past its end.
  const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  const auto* chars = static_cast<const wchar_t*>(lock.data());
  std::size_t length = 0;
  while (length < capacity && chars[length] != L'\0') {
    ++length;
  }
  return std::wstring(chars, length);
}

void TDesktopWin32::showInformation(const std::wstring& caption, const std::wstring& text) {
  MessageBoxW(FOwner, text.c_str(), caption.c_str(), MB_ICONINFORMATION | MB_OK);
}

void TDesktopWin32::showMessage(const std::wstring& text) {
  MessageBoxW(FOwner, text.c_str(), FBoxCaption.c_str(), MB_OK);
}

void TDesktopWin32::showError(const std::wstring& text) {
  MessageBoxW(FOwner, text.c_str(), FBoxCaption.c_str(), MB_ICONERROR | MB_OK);
}

int TDesktopWin32::screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int TDesktopWin32::screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

wchar_t TDesktopWin32::decimalSeparator() {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) <= 1) {
    return L'.';
  }
  return buffer[0];
}
