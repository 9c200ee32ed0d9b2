#pragma once
// A desktop that records every call it gets, in order, so tests can check
// what the program asked of the windows, keys and clock, and when.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/errors.h"
#include "platform/text_metrics.h"

class TFakeDesktop : public TDesktop {
 public:
  // Windows that exist: handle -> (title, owning thread).
  struct TWindow {
    std::wstring title;
    std::uint32_t thread = 1;
    bool iconic = false;
  };
  std::map<TWnd, TWindow> windows;
  // Where windows lie and how they are linked: frame, first child, next in z-order.
  struct TPlace {
    TScreenRect rect;
    TWnd firstChild = 0;
    TWnd next = 0;
  };
  std::map<TWnd, TPlace> places;
  TWnd foreground = 0;
  // Whether setForegroundWindow succeeds (a foreground lock may refuse it).
  bool foregroundAllowed = true;
  std::uint32_t ticks = 1000;
  std::uint32_t tickStep = 0;  // how far the clock moves at each reading
  std::vector<std::string> calls;  // "setForegroundWindow 7", "keyEvent 27 down", ...
  // Runs inside processMessages: a test can act as the user would meanwhile.
  std::function<void()> onProcessMessages;
  // Runs during each sleep, as the messages Wine hands over during a wait.
  std::function<void()> onSleep;

  std::optional<std::wstring> clipboard;
  int clipboardFailures = 0;  // the next N opens fail
  bool clipboardReadFails = false;
  std::vector<std::wstring> messages;  // message boxes shown, "info|", "msg|", "error|" + text
  int screenW = 1920;
  int screenH = 1080;
  wchar_t separator = L'.';

  TWnd findTopLevelWindow(const std::wstring& title) override {
    calls.push_back("findTopLevelWindow");
    for (const auto& [h, w] : windows) {
      if (lower(w.title) == lower(title)) return h;
    }
    return 0;
  }
  TWnd getForegroundWindow() override { return foreground; }
  void setForegroundWindow(TWnd wnd) override {
    calls.push_back("setForegroundWindow " + std::to_string(wnd));
    if (foregroundAllowed && windows.count(wnd)) foreground = wnd;
  }
  void bringWindowToTop(TWnd wnd) override { calls.push_back("bringWindowToTop " + std::to_string(wnd)); }
  bool isIconic(TWnd wnd) override {
    auto it = windows.find(wnd);
    return it != windows.end() && it->second.iconic;
  }
  void openIcon(TWnd wnd) override {
    calls.push_back("openIcon " + std::to_string(wnd));
    if (windows.count(wnd)) windows[wnd].iconic = false;
  }
  void minimizeWindow(TWnd wnd) override {
    calls.push_back("minimizeWindow " + std::to_string(wnd));
    if (windows.count(wnd)) windows[wnd].iconic = true;
  }
  void restoreWindow(TWnd wnd) override {
    calls.push_back("restoreWindow " + std::to_string(wnd));
    if (windows.count(wnd)) windows[wnd].iconic = false;
  }
  TWnd childWindow(TWnd wnd) override {
    auto it = places.find(wnd);
    return it == places.end() ? 0 : it->second.firstChild;
  }
  TWnd nextWindow(TWnd wnd) override {
    auto it = places.find(wnd);
    return it == places.end() ? 0 : it->second.next;
  }
  TScreenRect windowRect(TWnd wnd) override {
    auto it = places.find(wnd);
    return it == places.end() ? TScreenRect{} : it->second.rect;
  }
  // Every drawScreenLines call: its points, pen width and colour.
  struct TScreenLines {
    std::vector<TScreenPoint> points;
    int penWidth = 0;
    std::uint32_t colour = 0;
  };
  std::vector<TScreenLines> screenLines;
  void drawScreenLines(const std::vector<TScreenPoint>& points, int penWidth, std::uint32_t colour) override {
    calls.push_back("drawScreenLines");
    screenLines.push_back({points, penWidth, colour});
  }
  std::uint32_t windowThreadId(TWnd wnd) override {
    auto it = windows.find(wnd);
    return it == windows.end() ? 0 : it->second.thread;
  }
  void attachThreadInput(std::uint32_t from, std::uint32_t to, bool attach) override {
    calls.push_back("attachThreadInput " + std::to_string(from) + " " + std::to_string(to) +
                    (attach ? " on" : " off"));
  }
  void keyEvent(std::uint8_t vk, bool keyUp) override {
    calls.push_back("keyEvent " + std::to_string(vk) + (keyUp ? " up" : " down"));
  }
  void sleep(std::uint32_t ms) override {
    calls.push_back("sleep " + std::to_string(ms));
    ticks += ms;
    if (onSleep) onSleep();
  }
  std::uint32_t tickCount() override { return ticks += tickStep; }
  void processMessages() override {
    calls.push_back("processMessages");
    if (onProcessMessages) onProcessMessages();
  }
  bool setClipboardText(const std::wstring& text) override {
    calls.push_back("setClipboardText");
    if (clipboardFailures > 0) {
      --clipboardFailures;
      return false;
    }
    clipboard = text;
    return true;
  }
  std::optional<std::wstring> getClipboardText() override {
    calls.push_back("getClipboardText");
    if (clipboardReadFails) throw TMorvaneError(L"クリップボード アクセスが拒否されました。 を開けません");
    return clipboard;
  }
  void showInformation(const std::wstring& caption, const std::wstring& text) override {
    messages.push_back(L"info|" + caption + L"|" + text);
  }
  void showMessage(const std::wstring& text) override { messages.push_back(L"msg|" + text); }
  void showError(const std::wstring& text) override { messages.push_back(L"error|" + text); }
  int screenWidth() override { return screenW; }
  int screenHeight() override { return screenH; }
  wchar_t decimalSeparator() override { return separator; }

  // Index of the first recorded call that starts with `prefix`, or -1.
  int indexOf(const std::string& prefix, int from = 0) const {
    for (int i = from; i < static_cast<int>(calls.size()); ++i) {
      if (calls[static_cast<std::size_t>(i)].rfind(prefix, 0) == 0) return i;
    }
    return -1;
  }
  int countOf(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

 private:
  static std::wstring lower(std::wstring s) {
    for (auto& ch : s) {
      if (ch >= L'A' && ch <= L'Z') ch = static_cast<wchar_t>(ch - L'A' + L'a');
    }
    return s;
  }
};

// Text widths as a fixed number of pixels per character (7 for ASCII, 13 for the rest).
class TFakeTextMetrics : public TTextMetrics {
 public:
  int textWidth(const std::wstring& text) override {
    int w = 0;
    for (wchar_t ch : text) w += ch < 0x80 ? 7 : 13;
    return w;
  }
};
