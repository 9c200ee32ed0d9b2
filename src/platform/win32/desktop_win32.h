#pragma once
// The desktop port over the Win32 API.
#include <windows.h>

#include <string>
#include <utility>

#include "platform/desktop.h"

class TDesktopWin32 : public TDesktop {
 public:
  // `boxCaption` is the caption of the plain message boxes: the application's title.
  explicit TDesktopWin32(std::wstring boxCaption = {}) : FBoxCaption(std::move(boxCaption)) {}

  // The window that owns the message boxes (the main window, once it exists).
  void setOwnerWindow(HWND owner) noexcept { FOwner = owner; }
  HWND ownerWindow() const noexcept { return FOwner; }

  TWnd findTopLevelWindow(const std::wstring& title) override;
  TWnd getForegroundWindow() override;
  void setForegroundWindow(TWnd wnd) override;
  void bringWindowToTop(TWnd wnd) override;
  bool isIconic(TWnd wnd) override;
  void openIcon(TWnd wnd) override;
  void minimizeWindow(TWnd wnd) override;
  void restoreWindow(TWnd wnd) override;
  std::uint32_t windowThreadId(TWnd wnd) override;
  void attachThreadInput(std::uint32_t fromThread, std::uint32_t toThread, bool attach) override;
  TWnd childWindow(TWnd wnd) override;
  TWnd nextWindow(TWnd wnd) override;
  TScreenRect windowRect(TWnd wnd) override;

  void keyEvent(std::uint8_t virtualKey, bool keyUp) override;
  void sleep(std::uint32_t milliseconds) override;
  std::uint32_t tickCount() override;
  void processMessages() override;

  bool setClipboardText(const std::wstring& text) override;
  std::optional<std::wstring> getClipboardText() override;

  void showInformation(const std::wstring& caption, const std::wstring& text) override;
  void showMessage(const std::wstring& text) override;
  void showError(const std::wstring& text) override;
  bool askYesNo(const std::wstring& text) override;

  void drawScreenLines(const std::vector<TScreenPoint>& points, int penWidth, std::uint32_t colour) override;

  int screenWidth() override;
  int screenHeight() override;
  wchar_t decimalSeparator() override;

 private:
  HWND FOwner = nullptr;
  std::wstring FBoxCaption;
};

// A TWnd and an HWND are the same handle seen from both sides of the port.
inline HWND toHwnd(TWnd wnd) noexcept { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(wnd)); }
inline TWnd fromHwnd(HWND wnd) noexcept { return static_cast<TWnd>(reinterpret_cast<UINT_PTR>(wnd)); }
