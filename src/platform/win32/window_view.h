#pragma once
// A window seen through its handle, owned by someone else (the system, a
// parent, an owner object): the messages and calls the program makes on its
// controls, each one line, so that the casts of a message's parameters are
// written here once. Copying the view copies the handle, never the window.
#include <windows.h>

#include <string>
#include <vector>

class TWindow {
 public:
  TWindow() = default;
  // Not explicit: a handle is taken wherever a view is asked for, as a handle is what callers hold.
  TWindow(HWND wnd) : FWnd(wnd) {}  // NOLINT(google-explicit-constructor)

  HWND handle() const { return FWnd; }
  explicit operator bool() const { return FWnd != nullptr; }

  LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageW(FWnd, message, wParam, lParam);
  }
  // A message whose lParam points at what it reads or fills in.
  template <class T>
  LRESULT send(UINT message, WPARAM wParam, T* data) const {
    return send(message, wParam, reinterpret_cast<LPARAM>(data));
  }
  LRESULT send(UINT message, WPARAM wParam, const std::wstring& text) const { return send(message, wParam, text.c_str()); }

  std::wstring text() const {
    const int length = GetWindowTextLengthW(FWnd);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(FWnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
  }
  int textLength() const { return GetWindowTextLengthW(FWnd); }
  void setText(const std::wstring& text) const { SetWindowTextW(FWnd, text.c_str()); }
  void setFont(HFONT font) const { send(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }

  RECT windowRect() const {
    RECT r{};
    GetWindowRect(FWnd, &r);
    return r;
  }
  RECT clientRect() const {
    RECT r{};
    GetClientRect(FWnd, &r);
    return r;
  }
  void move(int x, int y, int width, int height) const { MoveWindow(FWnd, x, y, width, height, TRUE); }

  bool enabled() const { return IsWindowEnabled(FWnd) != FALSE; }
  void enable(bool on) const { EnableWindow(FWnd, on ? TRUE : FALSE); }
  bool visible() const { return IsWindowVisible(FWnd) != FALSE; }
  void show(int command) const { ShowWindow(FWnd, command); }
  void invalidate(bool erase = true) const { InvalidateRect(FWnd, nullptr, erase ? TRUE : FALSE); }
  TWindow parent() const { return TWindow(GetParent(FWnd)); }

 private:
  HWND FWnd = nullptr;
};
