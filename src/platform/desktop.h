#pragma once
// What the program asks of the desktop: windows, focus, keys, time, message
// pumping, the clipboard, message boxes and the screen.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A window handle as the desktop knows it; 0 for none.
using TWnd = std::uint64_t;

// Screen coordinates in the program's logical pixels, except where a call
// says device pixels.
struct TScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const TScreenRect&) const = default;
};
struct TScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TScreenPoint&) const = default;
};

class TDesktop {
 public:
  virtual ~TDesktop() = default;

  // Windows and focus.
  // A top-level window whose whole title equals `title`, compared without regard to case.
  virtual TWnd findTopLevelWindow(const std::wstring& title) = 0;
  virtual TWnd getForegroundWindow() = 0;
  virtual void setForegroundWindow(TWnd wnd) = 0;
  virtual void bringWindowToTop(TWnd wnd) = 0;
  virtual bool isIconic(TWnd wnd) = 0;
  virtual void openIcon(TWnd wnd) = 0;
  virtual void minimizeWindow(TWnd wnd) = 0;
  // Back to the normal (not minimised, not maximised) state.
  virtual void restoreWindow(TWnd wnd) = 0;
  // The thread that created the window; 0 for none.
  virtual std::uint32_t windowThreadId(TWnd wnd) = 0;
  virtual void attachThreadInput(std::uint32_t fromThread, std::uint32_t toThread, bool attach) = 0;
  // The window's first child, and the window after a window in z-order; 0 for none.
  virtual TWnd childWindow(TWnd wnd) = 0;
  virtual TWnd nextWindow(TWnd wnd) = 0;
  // The window's frame on the screen; all zero when there is no such window.
  virtual TScreenRect windowRect(TWnd wnd) = 0;

  // Input, time and the message loop.
  virtual void keyEvent(std::uint8_t virtualKey, bool keyUp) = 0;
  virtual void sleep(std::uint32_t milliseconds) = 0;
  virtual std::uint32_t tickCount() = 0;
  // Lets the window messages that are waiting run, then returns.
  virtual void processMessages() = 0;

  // The clipboard as Unicode text.
  // Replaces the clipboard's content; false when the clipboard could not be
  // opened. Raises TMorvaneError when it was opened but the text could not be
  // put there.
  virtual bool setClipboardText(const std::wstring& text) = 0;
  // The clipboard's text, std::nullopt when it holds none. Raises TMorvaneError
  // "クリップボード %s を開けません" when it cannot be opened.
  virtual std::optional<std::wstring> getClipboardText() = 0;

  // Message boxes, captioned with the application title.
  virtual void showInformation(const std::wstring& caption, const std::wstring& text) = 0;
  virtual void showMessage(const std::wstring& text) = 0;
  virtual void showError(const std::wstring& text) = 0;
  // A question with Yes and No, No the default button; true when the user chose Yes.
  virtual bool askYesNo(const std::wstring& text) = 0;

  // Lines from point to point straight onto the screen (device pixels), with
  // a solid pen of `penWidth` in `colour` (0x00BBGGRR). Nobody erases them:
  // they stay until whatever lies there repaints.
  virtual void drawScreenLines(const std::vector<TScreenPoint>& points, int penWidth, std::uint32_t colour) = 0;

  // The primary screen, in pixels.
  virtual int screenWidth() = 0;
  virtual int screenHeight() = 0;
  // The user's decimal separator (number format of the user's locale).
  virtual wchar_t decimalSeparator() = 0;
};
