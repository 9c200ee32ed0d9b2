// The Win32 desktop port under Wine: window search by whole title, the
// Unicode clipboard, the message pump and the plain queries.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/win32/desktop_win32.h"

namespace {

// A hidden top-level window of a private class, destroyed with the object.
class TTestWindow {
 public:
  explicit TTestWindow(const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MorvaneDesktopTestWindow";
    RegisterClassW(&wc);  // a second registration fails harmlessly
    FWnd = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }
  TTestWindow(const TTestWindow&) = delete;
  TTestWindow& operator=(const TTestWindow&) = delete;
  ~TTestWindow() {
    if (FWnd != nullptr) DestroyWindow(FWnd);
  }
  HWND get() const { return FWnd; }

 private:
  HWND FWnd = nullptr;
};

}  // namespace

TEST(DesktopWin32, FindsTopLevelWindowsByWholeTitleIgnoringCase) {
  TDesktopWin32 desktop;
  const TTestWindow exact(L"Morvane Test CAD 5");
  const TTestWindow longer(L"Morvane Test CAD 5 - 図面1.dxf");
  const TTestWindow japanese(L"表の編集ウィンドウ");
  ASSERT_NE(exact.get(), nullptr);
  EXPECT_EQ(desktop.findTopLevelWindow(L"morvane test cad 5"), fromHwnd(exact.get()));
  EXPECT_EQ(desktop.findTopLevelWindow(L"MORVANE TEST CAD 5 - 図面1.DXF"), fromHwnd(longer.get()));
  EXPECT_EQ(desktop.findTopLevelWindow(L"表の編集ウィンドウ"), fromHwnd(japanese.get()));
  EXPECT_EQ(desktop.findTopLevelWindow(L"Morvane Test CAD"), 0u);   // a prefix is not the title
  EXPECT_EQ(desktop.findTopLevelWindow(L"Test CAD 5"), 0u);
  EXPECT_EQ(desktop.windowThreadId(fromHwnd(exact.get())), GetCurrentThreadId());
  EXPECT_EQ(desktop.windowThreadId(0), 0u);
}

TEST(DesktopWin32, MinimiseAndRestore) {
  TDesktopWin32 desktop;
  const TTestWindow wnd(L"Morvane minimise test");
  ShowWindow(wnd.get(), SW_SHOWNOACTIVATE);
  const TWnd w = fromHwnd(wnd.get());
  EXPECT_FALSE(desktop.isIconic(w));
  desktop.minimizeWindow(w);
  EXPECT_TRUE(desktop.isIconic(w));
  desktop.restoreWindow(w);
  EXPECT_FALSE(desktop.isIconic(w));
  desktop.minimizeWindow(w);
  desktop.openIcon(w);
  EXPECT_FALSE(desktop.isIconic(w));
}

TEST(DesktopWin32, ClipboardRoundTripOfJapaneseText) {
  TDesktopWin32 desktop;
  const std::wstring text = L"品名\t数量\r\nボルト\t１２\r\n";
  ASSERT_TRUE(desktop.setClipboardText(text));
  const std::optional<std::wstring> back = desktop.getClipboardText();
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, text);
  ASSERT_TRUE(desktop.setClipboardText(L""));
  EXPECT_EQ(desktop.getClipboardText().value_or(L"<none>"), L"");
}

TEST(DesktopWin32, ClipboardWithoutTextAndHeldByAnother) {
  TDesktopWin32 desktop;
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(desktop.getClipboardText().has_value());

  // Held open by another window: reading raises the program's own error.
  const TTestWindow holder(L"Morvane clipboard holder");
  ASSERT_TRUE(OpenClipboard(holder.get()));
  const TTestWindow other(L"Morvane clipboard reader");
  desktop.setOwnerWindow(other.get());
  bool raised = false;
  try {
    desktop.getClipboardText();
  } catch (const TMorvaneError& e) {
    raised = true;
    EXPECT_EQ(e.message().rfind(L"クリップボード ", 0), 0u);
    EXPECT_NE(e.message().find(L" を開けません"), std::wstring::npos);
  }
  const bool written = desktop.setClipboardText(L"x");
  CloseClipboard();
  EXPECT_TRUE(raised);
  EXPECT_FALSE(written);
}

TEST(DesktopWin32, ProcessMessagesRunsPendingMessagesAndLeavesTheQuit) {
  TDesktopWin32 desktop;
  const TTestWindow wnd(L"Morvane pump test");
  PostMessageW(wnd.get(), WM_NULL, 0, 0);
  PostQuitMessage(17);
  desktop.processMessages();
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 17u);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(DesktopWin32, ScreenTicksAndSeparator) {
  TDesktopWin32 desktop;
  EXPECT_GT(desktop.screenWidth(), 0);
  EXPECT_GT(desktop.screenHeight(), 0);
  const std::uint32_t before = desktop.tickCount();
  // Wine's tick count moves in steps of up to 16 ms: a wait of 50 ms shows
  // 20 of them whatever step it lands in.
  desktop.sleep(50);
  EXPECT_GE(desktop.tickCount() - before, 20u);
  const wchar_t sep = desktop.decimalSeparator();
  EXPECT_TRUE(sep == L'.' || sep == L',') << static_cast<int>(sep);
}

namespace {

// Waits on another thread for a message box captioned `caption`, notes its
// text and closes it, so that the box shown on this thread returns.
class TBoxCloser {
 public:
  explicit TBoxCloser(std::wstring caption) : FCaption(std::move(caption)) {
    FThread = CreateThread(nullptr, 0, &TBoxCloser::run, this, 0, nullptr);
  }
  TBoxCloser(const TBoxCloser&) = delete;
  TBoxCloser& operator=(const TBoxCloser&) = delete;
  ~TBoxCloser() {
    WaitForSingleObject(FThread, 15000);
    CloseHandle(FThread);
  }
  // Joins the watcher; the box's text, or "<no box>" when none came in time.
  std::wstring text() {
    WaitForSingleObject(FThread, 15000);
    return FText;
  }

 private:
  static DWORD WINAPI run(LPVOID self) {
    auto* closer = static_cast<TBoxCloser*>(self);
    const DWORD end = GetTickCount() + 10000;
    while (GetTickCount() < end) {
      if (HWND box = FindWindowW(L"#32770", closer->FCaption.c_str())) {
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        closer->FText = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
      }
      Sleep(10);
    }
    return 1;
  }

  std::wstring FCaption;
  std::wstring FText = L"<no box>";
  HANDLE FThread = nullptr;
};

}  // namespace

TEST(DesktopWin32, MessageBoxesCarryTheApplicationTitleOrTheGivenCaption) {
  constexpr const wchar_t* kApplicationTitle = L"Morvane テスト";
  TDesktopWin32 desktop(kApplicationTitle);
  {
    TBoxCloser closer(kApplicationTitle);
    desktop.showMessage(L"クリップボードへのコピーに失敗しました．");
    EXPECT_EQ(closer.text(), L"クリップボードへのコピーに失敗しました．");
  }
  {
    TBoxCloser closer(kApplicationTitle);
    desktop.showError(L"無効なハンドルです");
    EXPECT_EQ(closer.text(), L"無効なハンドルです");
  }
  {
    TBoxCloser closer(L"バージョン情報");
    desktop.showInformation(L"バージョン情報", L"Morvane");
    EXPECT_EQ(closer.text(), L"Morvane");
  }
}

namespace {

// Counts the Escape presses and releases its window receives.
int gEscapeDowns = 0;
int gEscapeUps = 0;
LRESULT CALLBACK keyCounter(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN && wp == VK_ESCAPE) ++gEscapeDowns;
  if (msg == WM_KEYUP && wp == VK_ESCAPE) ++gEscapeUps;
  return DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

TEST(DesktopWin32, SynthesisedKeysReachTheForegroundWindow) {
  TDesktopWin32 desktop;
  WNDCLASSW wc{};
  wc.lpfnWndProc = keyCounter;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MorvaneKeyTestWindow";
  RegisterClassW(&wc);
  HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"Morvane key test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                             100, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);
  desktop.setForegroundWindow(fromHwnd(wnd));
  desktop.bringWindowToTop(fromHwnd(wnd));
  ASSERT_EQ(desktop.getForegroundWindow(), fromHwnd(wnd));
  SetFocus(wnd);
  gEscapeDowns = gEscapeUps = 0;
  desktop.keyEvent(VK_ESCAPE, false);
  desktop.keyEvent(VK_ESCAPE, true);
  const DWORD end = GetTickCount() + 5000;
  while ((gEscapeDowns < 1 || gEscapeUps < 1) && GetTickCount() < end) {
    desktop.processMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  EXPECT_EQ(gEscapeDowns, 1);
  EXPECT_EQ(gEscapeUps, 1);
  DestroyWindow(wnd);
}
