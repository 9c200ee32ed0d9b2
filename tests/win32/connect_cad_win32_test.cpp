// connectCAD over the real desktop port and the real COM connector, without
// the stand-in: the window decides whether COM is asked at all, and a window
// without an automation server behind it fails quietly.
#include <gtest/gtest.h>

#include "cad/connect_cad.h"
#include "cad/win32/cad_client.h"
#include "platform/win32/com_init.h"
#include "platform/win32/desktop_win32.h"

namespace {

class TCountingConnector : public TCadConnector {
 public:
  explicit TCountingConnector(TCadConnector& inner) : FInner(inner) {}
  std::unique_ptr<TCadApplication> createApplication() override {
    ++calls;
    return FInner.createApplication();
  }
  int calls = 0;

 private:
  TCadConnector& FInner;
};

class TTitledWindow {
 public:
  explicit TTitledWindow(const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MorvaneConnectTestWindow";
    RegisterClassW(&wc);
    FWnd = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }
  TTitledWindow(const TTitledWindow&) = delete;
  TTitledWindow& operator=(const TTitledWindow&) = delete;
  ~TTitledWindow() { DestroyWindow(FWnd); }

 private:
  HWND FWnd = nullptr;
};

}  // namespace

TEST(ConnectCadWin32, NoCadWindowMeansNoComActivity) {
  const TComInit com;
  TDesktopWin32 desktop;
  TComCadConnector real;
  TCountingConnector counting(real);
  // No window titled "nanoCAD 5" runs in this test's prefix; near misses do.
  const TTitledWindow longer(L"nanoCAD 5 - 図面.dxf");
  const TTitledWindow shorter(L"nanoCAD");
  ASSERT_EQ(desktop.findTopLevelWindow(kCadWindowTitle), 0u) << "a CAD window is running in this prefix";
  EXPECT_EQ(connectCAD(desktop, counting), nullptr);
  EXPECT_EQ(counting.calls, 0);
}

TEST(ConnectCadWin32, AWindowWithoutAServerFailsQuietly) {
  const TComInit com;
  TDesktopWin32 desktop;
  TComCadConnector real;
  TCountingConnector counting(real);
  const TTitledWindow impostor(L"NANOCAD 5");  // the title matches whatever its case
  std::unique_ptr<TCadApplication> app;
  EXPECT_NO_THROW(app = connectCAD(desktop, counting));
  EXPECT_EQ(app, nullptr);
  EXPECT_EQ(counting.calls, 1);
  // The connector itself reports why.
  bool raised = false;
  try {
    real.createApplication();
  } catch (const TAutomationError& e) {
    raised = true;
    EXPECT_FALSE(e.message().empty());
  }
  EXPECT_TRUE(raised);
}
