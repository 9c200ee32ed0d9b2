#pragma once
// The catch-all wall of a window procedure or a COM callback: no exception
// may cross into the system, yet none may pass unseen. Called inside the
// wall's catch block, it names the wall and the error in the debugger's
// output and, in a Debug build, stops at an assertion.
#include <windows.h>

#include <cassert>
#include <exception>
#include <string>

#include "platform/utf8.h"

inline void reportAtWall(const wchar_t* wall) noexcept {
  try {
    std::wstring line = L"Morvane: error stopped at ";
    line += wall;
    try {
      throw;
    } catch (const std::exception& e) {
      // what() is UTF-8 for the program's own errors.
      const std::wstring text = fromUtf8(e.what());
      if (!text.empty()) {
        line += L": " + text;
      }
    } catch (...) {
      line += L": an exception of unknown type";
    }
    line += L"\n";
    OutputDebugStringW(line.c_str());
  } catch (...) {
    OutputDebugStringW(L"Morvane: error stopped at a wall\n");
  }
  assert(!"an error reached a window procedure's or COM callback's wall");
}

template <class T>
LRESULT CALLBACK ownedWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

// What a class owning its window declares, in its private part, for the
// procedure below: the procedure as a friend, the name its wall reports
// and the handler every message goes to. The class also holds `HWND FWnd`.
#define MORVANE_OWNED_WINDOW(Type, wallName)                                  \
  friend LRESULT CALLBACK ownedWindowProc<Type>(HWND, UINT, WPARAM, LPARAM); \
  static constexpr const wchar_t* kWallName = wallName;                      \
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam)

// The window procedure of a window owned by an object of class T: the object
// comes in CreateWindowEx's creation parameter, is kept in GWLP_USERDATA and
// handed every message through T::handleMessage, behind the wall above. After
// WM_NCDESTROY the window forgets the object and the object its window. What
// a failing message returns is T::afterFailure's answer where T has one;
// otherwise a failing WM_CREATE fails the creation and any other message
// falls back to the default handling.
template <class T>
LRESULT CALLBACK ownedWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* const self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->FWnd = wnd;
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* const self = reinterpret_cast<T*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (self == nullptr) {
    return DefWindowProcW(wnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  try {
    result = self->handleMessage(message, wParam, lParam);
  } catch (...) {
    reportAtWall(T::kWallName);
    if constexpr (requires { self->afterFailure(message, wParam, lParam); }) {
      result = self->afterFailure(message, wParam, lParam);
    } else {
      result = message == WM_CREATE ? -1 : DefWindowProcW(wnd, message, wParam, lParam);
    }
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    self->FWnd = nullptr;
  }
  return result;
}

// Registers the class of windows owned by objects of class T; a class
// registered before counts as registered. A null background leaves the
// painting of the whole window to the window.
template <class T>
bool registerOwnedWindowClass(HINSTANCE instance, const wchar_t* className, UINT style = 0, HICON icon = nullptr,
                              HBRUSH background = GetSysColorBrush(COLOR_BTNFACE),
                              const wchar_t* cursor = IDC_ARROW) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = ownedWindowProc<T>;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = LoadCursorW(nullptr, cursor);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Creates the window of `self`, of a registered owned class, at the screen's
// corner with a client area of `clientWidth` x `clientHeight`; the owner
// places it later. The window's handle is in self->FWnd when this returns.
template <class T>
void createOwnedWindow(T* self, HINSTANCE instance, const wchar_t* className, const wchar_t* caption, DWORD style,
                       DWORD exStyle, int clientWidth, int clientHeight, HWND owner) {
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  CreateWindowExW(exStyle, className, caption, style, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                  owner, nullptr, instance, self);
}
