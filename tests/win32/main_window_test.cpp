// The real main window under Wine around a form on fake desktop and CAD ports:
// places, captions, styles, tab order and anchors of the controls, the binding
// in both directions, the popup menu, and closing with the settings file
// written through the private profile functions.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/morvane_form.h"
#include "app/win32/control_binding.h"
#include "app/win32/main_window.h"
#include "app/win32/popup_menu.h"
#include "app/win32/profile_store_win32.h"
#include "fake_desktop.h"
#include "keys_held.h"
#include "sheet/grid_geometry.h"

namespace {

namespace fs = std::filesystem;

class TNullCad : public TCadConnector {
 public:
  std::unique_ptr<TCadApplication> createApplication() override { return nullptr; }
};

// The real profile store on a file of the test's own; the rest counted.
class TTestAppPlatform : public TAppPlatform {
 public:
  fs::path exe;
  int filterRegistrations = 0;
  std::wstring executablePath() override { return exe.wstring(); }
  std::unique_ptr<TProfileStore> openProfile(const std::wstring& path) override {
    return std::make_unique<TProfileStoreWin32>(path);
  }
  std::int32_t displayScaleFactor() override { return 100; }
  void registerMessageFilter() override { ++filterRegistrations; }
  void revokeMessageFilter() override {}
};

// The error box is modal on a real desktop; a test acts meanwhile through the hook.
class TModalErrorDesktop : public TFakeDesktop {
 public:
  std::function<void()> onShowError;
  void showError(const std::wstring& text) override {
    TFakeDesktop::showError(text);
    if (onShowError) onShowError();
  }
};

// Lets messages run until `done` holds or the time is up.
template <class F>
bool pumpUntil(F done, DWORD timeoutMs = 5000) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

RECT placeIn(HWND wnd, HWND parent) {
  RECT r{};
  GetWindowRect(wnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring menuText(HMENU menu, UINT index) {
  wchar_t buffer[128] = {};
  GetMenuStringW(menu, index, buffer, 128, MF_BYPOSITION);
  return buffer;
}

class MainWindow : public ::testing::Test {
 protected:
  TModalErrorDesktop desktop;
  TNullCad cad;
  TFakeTextMetrics metrics;
  TTestAppPlatform app;
  fs::path dir;
  fs::path ini;
  std::unique_ptr<TMorvaneForm> form;
  std::unique_ptr<TMainWindow> window;
  HWND wnd = nullptr;
  HWND panel = nullptr;

  void SetUp() override {
    static int counter = 0;
    dir = fs::temp_directory_path() /
          ("morvane-window-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    app.exe = dir / L"morvane.exe";
    ini = dir / L"morvane.ini";
  }
  void create() {
    form = std::make_unique<TMorvaneForm>(TMorvanePorts{desktop, cad, metrics, &app});
    window = std::make_unique<TMainWindow>(*form);
    ASSERT_TRUE(window->create(GetModuleHandleW(nullptr)));
    wnd = window->handle();
    panel = GetDlgItem(wnd, kIdPanel1);
    // Left hidden: under Wine without a window manager, destroying a shown
    // window waits two seconds for the manager's answer.
  }
  // A value the settings file holds; empty when it holds none.
  std::wstring saved(const wchar_t* section, const wchar_t* key) const {
    wchar_t value[64] = {};
    GetPrivateProfileStringW(section, key, L"", value, 64, ini.c_str());
    return value;
  }
  HWND item(int id) const {
    const HWND direct = GetDlgItem(wnd, id);
    return direct != nullptr ? direct : GetDlgItem(panel, id);
  }
  void TearDown() override {
    if (wnd != nullptr && IsWindow(wnd) != FALSE) DestroyWindow(wnd);
    pumpUntil([] { return true; }, 0);
    if (form) form->FormDestroy();
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
};

TEST_F(MainWindow, ControlsSitAtTheirPlacesWithTheirCaptions) {
  create();
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 581);
  EXPECT_EQ(client.bottom, 349);

  struct TExpected {
    int id;
    bool inPanel;
    const wchar_t* text;
    RECT place;  // left, top, right, bottom
  };
  const TExpected expected[] = {
      {kIdButton1, false, L"取得", {4, 0, 54, 32}},
      {kIdCheckBox6, false, L"矢印描画", {67, 13, 145, 30}},
      {kIdCheckBox5, false, L"除外画層フィルター", {160, 13, 275, 30}},
      {kIdEdit2, false, L"HOJO*,JOGAI*", {281, 9, 573, 33}},
      {kIdButton2, false, L"更新", {4, 36, 54, 68}},
      {kIdButton3, false, L"Excelへ", {62, 36, 116, 68}},
      {kIdPanel1, false, L"", {114, 36, 475, 68}},
      {kIdCheckBox1, true, L"1行目固定", {8, 8, 97, 25}},
      {kIdCheckBox2, true, L"Enter:[→]", {89, 8, 169, 25}},
      {kIdCheckBox3, true, L"Enter:[↓]", {159, 4, 225, 29}},
      {kIdCheckBox4, true, L"a -> A", {223, 8, 281, 25}},
      {kIdLabel1, true, L"許容", {282, 9, 306, 22}},
      {kIdEdit1, true, L"0.1", {311, 6, 355, 30}},
      {kIdSpeedButton2, false, L"入力候補", {475, 36, 538, 68}},
      {kIdSpeedButton1, false, L"UNDO", {539, 36, 577, 68}},
      {kIdSheet, false, nullptr, {0, 74, 581, 256}},
      {kIdMemo1, false, L"", {0, 259, 581, 320}},
      {kIdProgressBar1, false, nullptr, {0, 319, 581, 331}},
      {kIdStatusBar1, false, nullptr, {0, 330, 581, 349}},
  };
  for (const TExpected& e : expected) {
    const HWND control = item(e.id);
    ASSERT_NE(control, nullptr) << e.id;
    EXPECT_EQ(GetParent(control), e.inPanel ? panel : wnd) << e.id;
    const RECT r = placeIn(control, e.inPanel ? panel : wnd);
    EXPECT_EQ(r.left, e.place.left) << e.id;
    EXPECT_EQ(r.top, e.place.top) << e.id;
    EXPECT_EQ(r.right, e.place.right) << e.id;
    EXPECT_EQ(r.bottom, e.place.bottom) << e.id;
    if (e.text != nullptr) {
      EXPECT_EQ(windowText(control), e.text) << e.id;
    }
  }
  EXPECT_EQ(windowText(wnd), L"Morvane 2025.06.08a [ nanoCAD 5 ]");
}

TEST_F(MainWindow, StartStateStylesAndStatusPanels) {
  create();
  EXPECT_NE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(IsWindowEnabled(item(kIdButton1)), FALSE);
  EXPECT_EQ(IsWindowEnabled(item(kIdButton2)), FALSE);
  EXPECT_EQ(IsWindowEnabled(item(kIdButton3)), FALSE);
  EXPECT_EQ(SendMessageW(item(kIdCheckBox5), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(item(kIdCheckBox6), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(item(kIdCheckBox1), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  const LONG_PTR edit1 = GetWindowLongPtrW(item(kIdEdit1), GWL_STYLE);
  EXPECT_NE(edit1 & ES_RIGHT, 0);
  const HIMC context = ImmGetContext(item(kIdEdit1));
  EXPECT_EQ(context, nullptr) << "the input method stays off in the tolerance";
  if (context != nullptr) ImmReleaseContext(item(kIdEdit1), context);

  const LONG_PTR memo = GetWindowLongPtrW(item(kIdMemo1), GWL_STYLE);
  EXPECT_NE(memo & ES_READONLY, 0);
  EXPECT_NE(memo & ES_MULTILINE, 0);
  EXPECT_NE(memo & WS_HSCROLL, 0);
  EXPECT_NE(memo & WS_VSCROLL, 0);
  EXPECT_EQ(memo & WS_TABSTOP, 0);
  EXPECT_EQ(GetWindowLongPtrW(item(kIdSpeedButton1), GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(GetWindowLongPtrW(item(kIdSpeedButton2), GWL_STYLE) & WS_TABSTOP, 0);

  const auto fontOf = [](HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
  };
  for (const int id : {kIdButton1, kIdCheckBox5, kIdCheckBox2, kIdLabel1, kIdSpeedButton1, kIdMemo1}) {
    EXPECT_EQ(std::wstring(fontOf(item(id)).lfFaceName), L"Tahoma") << id;
    EXPECT_EQ(fontOf(item(id)).lfHeight, -11) << id;
  }
  for (const int id : {kIdEdit1, kIdEdit2}) {
    EXPECT_EQ(std::wstring(fontOf(item(id)).lfFaceName), L"Tahoma") << id;
    EXPECT_EQ(fontOf(item(id)).lfHeight, -13) << id;
  }

  // Four panels, the last (why a command ended quietly) running to the grip.
  int edges[5] = {};
  ASSERT_EQ(SendMessageW(item(kIdStatusBar1), SB_GETPARTS, 5, reinterpret_cast<LPARAM>(edges)), 4);
  EXPECT_EQ(edges[0], 100);
  EXPECT_EQ(edges[1], 180);
  EXPECT_GT(edges[2], edges[1]);
  EXPECT_EQ(edges[3], -1);
  form->StatusBar1.setPanel(3, L"nanoCAD 5 が見つかりません");
  wchar_t text[64] = {};
  SendMessageW(item(kIdStatusBar1), SB_GETTEXTW, 3, reinterpret_cast<LPARAM>(text));
  std::wstring shown = text;
  if (!shown.empty() && shown[0] == L'\t') shown.erase(0, 1);
  EXPECT_EQ(shown, L"nanoCAD 5 が見つかりません");
}

TEST_F(MainWindow, ShrunkBelowItsLeastSizeEveryControlStaysWhole) {
  create();
  SetWindowPos(wnd, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, kClientWidth);
  EXPECT_EQ(client.bottom, kMinClientHeight);
  const auto at = [&](int id) { return placeIn(item(id), GetParent(item(id))); };
  // The buttons at the right of the top rows and the filter box keep their size.
  EXPECT_LE(at(kIdSpeedButton1).right, client.right);
  EXPECT_EQ(at(kIdEdit2).right - at(kIdEdit2).left, 292);
  // The sheet keeps its header and three rows; nothing below overlaps it.
  const RECT sheet = at(kIdSheet);
  EXPECT_EQ(sheet.bottom - sheet.top, kMinSheetHeight);
  EXPECT_GE(sheet.bottom - sheet.top, 4 * (form->StringGrid1.DefaultRowHeight() + 1));
  EXPECT_GE(at(kIdMemo1).top, sheet.bottom);
  EXPECT_EQ(at(kIdMemo1).bottom - at(kIdMemo1).top, 61);
  EXPECT_EQ(at(kIdStatusBar1).bottom, client.bottom);
  // The longest pending counts fit whole in their panel, which leaves the
  // last panel room for a word or two.
  const HWND bar = item(kIdStatusBar1);
  RECT panel{};
  ASSERT_NE(SendMessageW(bar, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&panel)), FALSE);
  const HDC dc = GetDC(bar);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(bar, WM_GETFONT, 0, 0)));
  for (const std::wstring text : {L"編集 1 / 追加 0 / 削除 0 / 不可 0 / 図面側で変更 2",
                                  L"編集 12 / 追加 34 / 削除 56 / 不可 78 / 図面側で変更 90"}) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    EXPECT_GE(panel.right - panel.left, size.cx + 8) << "counts of " << text.size() << " characters";
  }
  SelectObject(dc, old);
  ReleaseDC(bar, dc);
  EXPECT_LE(panel.right, client.right - 60);
  // Larger than the least, any size is taken.
  SetWindowPos(wnd, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT frame{};
  GetWindowRect(wnd, &frame);
  EXPECT_EQ(frame.right - frame.left, 900);
  EXPECT_EQ(frame.bottom - frame.top, 700);
}

TEST_F(MainWindow, TabOrderRunsFromTheSheetThroughThePanel) {
  create();
  form->Button2.setEnabled(true);
  form->Button3.setEnabled(true);
  const std::vector<int> expected{kIdButton1,   kIdButton2,   kIdCheckBox1, kIdCheckBox2,
                                  kIdCheckBox3, kIdCheckBox4, kIdEdit1,     kIdButton3,
                                  kIdCheckBox5, kIdEdit2,     kIdCheckBox6, kIdSheet};
  HWND at = item(kIdSheet);
  for (const int id : expected) {
    at = GetNextDlgTabItem(wnd, at, FALSE);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(GetDlgCtrlID(at), id);
  }
  // Disabled buttons are passed over.
  form->Button2.setEnabled(false);
  EXPECT_EQ(GetNextDlgTabItem(wnd, item(kIdButton1), FALSE), item(kIdCheckBox1));
}

TEST_F(MainWindow, AnchoredControlsFollowAResize) {
  create();
  RECT frame{};
  GetWindowRect(wnd, &frame);
  SetWindowPos(wnd, nullptr, 0, 0, frame.right - frame.left + 100, frame.bottom - frame.top + 50,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(wnd, &client);
  ASSERT_EQ(client.right, 681);
  ASSERT_EQ(client.bottom, 399);
  const auto at = [&](int id) { return placeIn(item(id), GetParent(item(id))); };
  EXPECT_EQ(at(kIdButton1).right, 54);
  EXPECT_EQ(at(kIdPanel1).right, 475);
  EXPECT_EQ(at(kIdEdit2).right, 673);
  EXPECT_EQ(at(kIdEdit2).bottom, 33);
  EXPECT_EQ(at(kIdSheet).right, 681);
  EXPECT_EQ(at(kIdSheet).bottom, 306);
  EXPECT_EQ(at(kIdMemo1).top, 309);
  EXPECT_EQ(at(kIdMemo1).right, 681);
  EXPECT_EQ(at(kIdProgressBar1).top, 369);
  EXPECT_EQ(at(kIdStatusBar1).top, 380);
  EXPECT_EQ(at(kIdStatusBar1).bottom, 399);
  EXPECT_EQ(at(kIdSpeedButton1).left, 539);
}

TEST_F(MainWindow, ChangesOfTheFormReachTheWindows) {
  create();
  form->Memo1.add(L"Select = 3");
  form->Memo1.add(L"0.421 sec");
  EXPECT_EQ(windowText(item(kIdMemo1)), L"Select = 3\r\n0.421 sec");
  form->Memo1.clear();
  form->Memo1.add(L"Line = 22, Text = 35");
  EXPECT_EQ(windowText(item(kIdMemo1)), L"Line = 22, Text = 35");

  form->StatusBar1.setPanel(0, L" 3 / 120");
  form->StatusBar1.setPanel(1, L"新規作成不可");
  wchar_t text[64] = {};
  SendMessageW(item(kIdStatusBar1), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(std::wstring(text), L" 3 / 120");
  SendMessageW(item(kIdStatusBar1), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
  std::wstring centred = text;
  if (!centred.empty() && centred[0] == L'\t') centred.erase(0, 1);
  EXPECT_EQ(centred, L"新規作成不可");

  form->ProgressBar1.setMax(50);
  form->ProgressBar1.setPosition(7);
  EXPECT_EQ(SendMessageW(item(kIdProgressBar1), PBM_GETPOS, 0, 0), 7);
  EXPECT_EQ(SendMessageW(item(kIdProgressBar1), PBM_GETRANGE, FALSE, 0), 50);

  form->CheckBox1.setEnabled(false);
  EXPECT_EQ(IsWindowEnabled(item(kIdCheckBox1)), FALSE);
  form->Edit2.setText(L"層*,補助*");
  EXPECT_EQ(windowText(item(kIdEdit2)), L"層*,補助*");
  form->Window.setCaption(L"Morvane 2025.06.08a [ nanoCAD 5 ] a.dwg");
  EXPECT_EQ(windowText(wnd), L"Morvane 2025.06.08a [ nanoCAD 5 ] a.dwg");
}

TEST_F(MainWindow, CaptionChangeLeavesAMovedWindowWhereTheUserPutIt) {
  create();
  SetWindowPos(wnd, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  form->Window.setCaption(L"other");
  RECT frame{};
  GetWindowRect(wnd, &frame);
  EXPECT_EQ(frame.left, 10);
  EXPECT_EQ(frame.top, 20);
}

TEST_F(MainWindow, UserActionsReachTheForm) {
  create();
  SendMessageW(item(kIdCheckBox4), BM_CLICK, 0, 0);
  EXPECT_TRUE(form->CheckBox4.Checked());
  EXPECT_EQ(SendMessageW(item(kIdCheckBox4), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(item(kIdCheckBox4), BM_CLICK, 0, 0);
  EXPECT_FALSE(form->CheckBox4.Checked());

  SetWindowTextW(item(kIdEdit1), L"0.5");
  EXPECT_EQ(form->Edit1.Text(), L"0.5");

  int clicks = 0;
  form->Button2.setEnabled(true);
  form->Button2.OnClick = [&] { ++clicks; };
  SendMessageW(item(kIdButton2), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(MainWindow, SpeedButtonsLeaveTheFocusWhereItWas) {
  create();
  SetForegroundWindow(wnd);
  SetFocus(item(kIdEdit2));
  ASSERT_EQ(GetFocus(), item(kIdEdit2));
  int clicks = 0;
  form->SpeedButton1.OnClick = [&] { ++clicks; };
  SendMessageW(item(kIdSpeedButton1), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetFocus(), item(kIdEdit2));
}

TEST_F(MainWindow, PopupMenuShowsTheItemsAsTheyAre) {
  create();
  const std::vector<TMenuItem*> items = form->popupMenuItems();
  TMenu menu = buildPopupMenu(items);
  ASSERT_TRUE(menu);
  ASSERT_EQ(GetMenuItemCount(menu.get()), static_cast<int>(items.size()));
  for (std::size_t i = 0; i < items.size(); ++i) {
    const UINT state = GetMenuState(menu.get(), static_cast<UINT>(i), MF_BYPOSITION);
    if (items[i]->isSeparator()) {
      EXPECT_NE(state & MF_SEPARATOR, 0u) << i;
      continue;
    }
    EXPECT_EQ(menuText(menu.get(), static_cast<UINT>(i)), items[i]->Caption()) << i;
    EXPECT_EQ((state & MF_GRAYED) != 0, !items[i]->Enabled()) << i;
    EXPECT_EQ((state & MF_CHECKED) != 0, items[i]->Checked()) << i;
    EXPECT_EQ(GetMenuItemID(menu.get(), static_cast<int>(i)), i + 1);
  }
  EXPECT_NE(GetMenuState(menu.get(), 2, MF_BYPOSITION) & MF_GRAYED, 0u);   // CAD1
  EXPECT_NE(GetMenuState(menu.get(), 10, MF_BYPOSITION) & MF_GRAYED, 0u);  // UNDO1
  form->N6.setEnabled(true);
  form->MTEXT1.setChecked(true);
  menu = buildPopupMenu(items);
  EXPECT_EQ(GetMenuState(menu.get(), 4, MF_BYPOSITION) & MF_GRAYED, 0u);
  const UINT last = static_cast<UINT>(items.size() - 1);
  EXPECT_EQ(menuText(menu.get(), last), L"MTEXTも対象");
  EXPECT_NE(GetMenuState(menu.get(), last, MF_BYPOSITION) & MF_CHECKED, 0u);
}

TEST_F(MainWindow, SavedPlaceIsRestoredAndClosingWritesTheFile) {
  ASSERT_TRUE(WritePrivateProfileStringW(L"AcadMRV", L"Left", L"40", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(L"AcadMRV", L"Top", L"30", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(L"AcadMRV", L"chk4", L"1", ini.c_str()));
  create();
  RECT frame{};
  GetWindowRect(wnd, &frame);
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.top, 30);
  EXPECT_EQ(SendMessageW(item(kIdCheckBox4), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(app.filterRegistrations, 1);

  SetWindowPos(wnd, nullptr, 55, 66, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowTextW(item(kIdEdit2), L"A*,B*");
  PostMessageW(wnd, WM_CLOSE, 0, 0);
  ASSERT_TRUE(pumpUntil([&] { return IsWindow(wnd) == FALSE; }));
  EXPECT_EQ(saved(L"AcadMRV", L"Left"), L"55");
  EXPECT_EQ(saved(L"AcadMRV", L"Top"), L"66");
  EXPECT_EQ(saved(L"AcadMRV", L"edt2"), L"A*,B*");
  EXPECT_EQ(saved(L"Target", L"ProgID"), L"BricscadApp.AcadApplication");
}

TEST_F(MainWindow, MinimisedWindowSavesItsRestoredPlace) {
  create();
  SetWindowPos(wnd, nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(wnd, SW_SHOWMINNOACTIVE);
  ASSERT_NE(IsIconic(wnd), FALSE);
  ASSERT_TRUE(form->FormCloseQuery());
  EXPECT_EQ(saved(L"AcadMRV", L"Left"), L"70");
  EXPECT_EQ(saved(L"AcadMRV", L"Top"), L"80");
}

TEST_F(MainWindow, LogOffIsNeverRefusedAndWritesOnlyWhenTheSessionEnds) {
  create();
  // Asked in the middle of a command, then cancelled: nothing written, and no
  // close is left waiting for the command's end.
  LRESULT duringCommand = FALSE;
  form->runCommand([&] {
    duringCommand = SendMessageW(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageW(wnd, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  });
  EXPECT_EQ(duringCommand, TRUE);
  EXPECT_FALSE(fs::exists(ini));
  EXPECT_FALSE(form->closeRequested());
  MSG msg{};
  EXPECT_EQ(PeekMessageW(&msg, wnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE), FALSE);
  EXPECT_NE(IsWindow(wnd), FALSE);

  // A log-off that goes through writes the settings, a command running or not.
  EXPECT_EQ(SendMessageW(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_FALSE(fs::exists(ini));
  form->runCommand([&] { SendMessageW(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF); });
  EXPECT_TRUE(fs::exists(ini));
  EXPECT_EQ(saved(L"AcadMRV", L"chk6"), L"1");
}

TEST_F(MainWindow, PendingEditsAreAskedAboutAtACloseButNeverAtALogOff) {
  create();
  // Typed before any Acquire: a text Update cannot write, pending all the same.
  form->StringGrid1.setCell(1, 1, L"typed");
  desktop.answerYes = false;
  SendMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(desktop.questions, std::vector<std::wstring>{L"未更新の変更が 1 件あります。破棄しますか？"});
  EXPECT_NE(IsWindow(wnd), FALSE);
  EXPECT_FALSE(fs::exists(ini)) << "No keeps everything as it was";

  EXPECT_EQ(SendMessageW(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageW(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(desktop.questions.size(), 1u) << "a log-off asks nothing";
  EXPECT_TRUE(fs::exists(ini));

  desktop.answerYes = true;
  SendMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(desktop.questions.size(), 2u);
  EXPECT_EQ(IsWindow(wnd), FALSE);
}

TEST_F(MainWindow, ACloseWhoseHandlerFailsKeepsTheWindowOpenAndSaysWhy) {
  app.exe = dir / L"missing" / L"morvane.exe";
  create();
  // The error box of the failed write fails itself: the error reaches the
  // window procedure's wall, which must neither destroy the window nor stay silent.
  int boxes = 0;
  desktop.onShowError = [&] {
    if (++boxes == 1) throw std::runtime_error("no box");
  };
  SendMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_NE(IsWindow(wnd), FALSE);
  ASSERT_EQ(desktop.messages.size(), 2u);
  EXPECT_EQ(desktop.messages[1], L"error|no box");
}

TEST_F(MainWindow, ControlsForgetTheirWindowsOnceDestroyed) {
  create();
  ASSERT_TRUE(form->Button1.OnPush);
  DestroyWindow(wnd);
  EXPECT_FALSE(form->Button1.OnPush);
  EXPECT_FALSE(form->Memo1.OnPush);
  EXPECT_FALSE(form->Window.OnReadBounds);
  EXPECT_EQ(form->Window.Handle, 0u);
  // Changes after the end reach no window and fail nothing.
  form->Memo1.add(L"after");
  form->Button1.setCaption(L"x");
  form->Window.readBounds();
}

TEST_F(MainWindow, FailedWriteIsShownAndTheWindowClosesAllTheSame) {
  app.exe = dir / L"missing" / L"morvane.exe";
  create();
  SendMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(IsWindow(wnd), FALSE);
  const std::wstring path = (dir / L"missing" / L"morvane.ini").wstring();
  EXPECT_EQ(desktop.messages, std::vector<std::wstring>{L"error|" + path + L" に書き込めません"});
}

TEST_F(MainWindow, CloseWhileTheWriteErrorIsShownAsksNothingMore) {
  app.exe = dir / L"missing" / L"morvane.exe";
  create();
  // The error box is modal: a close arriving meanwhile must not stack a second one.
  bool closedAgain = false;
  desktop.onShowError = [&] {
    if (closedAgain) return;
    closedAgain = true;
    SendMessageW(wnd, WM_CLOSE, 0, 0);
  };
  SendMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(closedAgain);
  EXPECT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(IsWindow(wnd), FALSE) << "the first close goes through once its box is closed";
}

TEST_F(MainWindow, CloseDuringACommandHappensWhenItEnds) {
  create();
  bool openInside = false;
  form->runCommand([&] {
    SendMessageW(wnd, WM_CLOSE, 0, 0);
    openInside = IsWindow(wnd) != FALSE;
  });
  EXPECT_TRUE(openInside);
  ASSERT_TRUE(pumpUntil([&] { return IsWindow(wnd) == FALSE; }));
  EXPECT_TRUE(fs::exists(ini));
}


// The sheet inside the main window: keys, clicks and drags through the real
// control reach the form's handlers.
class SheetInMainWindow : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    create();
    sheet = GetDlgItem(wnd, kIdSheet);
    ASSERT_NE(sheet, nullptr);
    editor = FindWindowExW(sheet, nullptr, L"EDIT", nullptr);
    ASSERT_NE(editor, nullptr);
  }
  bool editorShown() const { return (GetWindowLongPtrW(editor, GWL_STYLE) & WS_VISIBLE) != 0; }
  std::wstring editorText() const { return windowText(editor); }
  LPARAM at(std::int32_t col, std::int32_t row) const {
    const TCellRect r = cellRect(grid(), col, row).value();
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  TStringGrid& grid() const { return form->StringGrid1; }
  void key(HWND target, WPARAM vk) { SendMessageW(target, WM_KEYDOWN, vk, 1); }
  // A key with Alt held, as the system sends it: WM_SYSKEYDOWN with the context bit.
  void altKey(HWND target, WPARAM vk) { SendMessageW(target, WM_SYSKEYDOWN, vk, (1 << 29) | 1); }
  void type(HWND target, wchar_t ch) { SendMessageW(target, WM_CHAR, ch, 1); }

  HWND sheet = nullptr;
  HWND editor = nullptr;
};

TEST_F(SheetInMainWindow, EnterMovesThenTogglesEditing) {
  grid().setCell(2, 1, L"two");
  key(sheet, VK_RETURN);
  EXPECT_EQ(grid().Col(), 2);
  type(sheet, L'\r');
  EXPECT_TRUE(grid().EditorMode());
  EXPECT_TRUE(editorShown());
  EXPECT_EQ(editorText(), L"two");

  key(editor, VK_RETURN);
  EXPECT_EQ(grid().Col(), 3) << "the form moves on first";
  EXPECT_TRUE(grid().EditorMode());
  type(editor, L'\r');
  EXPECT_FALSE(grid().EditorMode());
  EXPECT_FALSE(editorShown());
  EXPECT_EQ(grid().Cell(2, 1), L"two");
  EXPECT_EQ(form->FUndoCells->Count(), 2) << "the cell the editor came to was recorded too";
}

TEST_F(SheetInMainWindow, EscapeInTheEditorUndoesAndEndsTheEdit) {
  grid().setCell(1, 1, L"old");
  type(sheet, L'x');
  key(editor, VK_ESCAPE);
  EXPECT_EQ(grid().Cell(1, 1), L"old");
  EXPECT_FALSE(grid().EditorMode());
  EXPECT_FALSE(editorShown());
  type(editor, 0x1B);
  EXPECT_EQ(grid().Cell(1, 1), L"old");
  EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{L"[ESC]"}));
}

TEST_F(SheetInMainWindow, CtrlZInTheEditorEndsTheEditAndUndoes) {
  grid().setCell(1, 1, L"old");
  type(sheet, L'x');
  {
    const TKeysHeld ctrl({VK_CONTROL});
    key(editor, 'Z');
  }
  type(editor, 0x1A);
  EXPECT_EQ(grid().Cell(1, 1), L"old");
  EXPECT_FALSE(grid().EditorMode());
  EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{L"[CTRL]+[Z]"}));
}

TEST_F(SheetInMainWindow, CtrlCCopiesTheSelection) {
  grid().setCell(1, 1, L"図面");
  {
    const TKeysHeld ctrl({VK_CONTROL});
    key(sheet, 'C');
  }
  EXPECT_EQ(desktop.clipboard, L"図面\r\n");
  EXPECT_EQ(form->FUndoCells->groupCount(), 1);
}

// The real clipboard, as another program would fill and read it.
void putOnClipboard(const std::wstring& text) {
  ASSERT_NE(OpenClipboard(nullptr), FALSE);
  EmptyClipboard();
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  ASSERT_NE(memory, nullptr);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}
std::wstring clipboardText() {
  std::wstring text;
  if (OpenClipboard(nullptr) == FALSE) return L"<busy>";
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST_F(SheetInMainWindow, InTheEditorCtrlXCAndVWorkOnItsTextAndThePasteTakesOneLine) {
  grid().setCell(1, 1, L"AB");
  grid().setCell(2, 1, L"other");
  grid().setSelection({1, 1}, {1, 1});
  key(sheet, VK_F2);
  ASSERT_TRUE(editorShown());
  const auto ctrl = [&](wchar_t letter) {
    const TKeysHeld held({VK_CONTROL});
    key(editor, letter);
    type(editor, static_cast<wchar_t>(letter - L'A' + 1));
  };
  putOnClipboard(L"図面\r\nsecond line\r\n");
  SendMessageW(editor, EM_SETSEL, 1, 1);
  ctrl(L'V');
  EXPECT_EQ(grid().Cell(1, 1), L"A図面B");
  EXPECT_EQ(editorText(), L"A図面B");

  SendMessageW(editor, EM_SETSEL, 1, 3);
  ctrl(L'C');
  EXPECT_EQ(clipboardText(), L"図面");
  SendMessageW(editor, EM_SETSEL, 0, 1);
  ctrl(L'X');
  EXPECT_EQ(clipboardText(), L"A");
  EXPECT_EQ(grid().Cell(1, 1), L"図面B");
  EXPECT_TRUE(grid().EditorMode());
  EXPECT_EQ(grid().Cell(2, 1), L"other");
  EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{L"[CTRL]+[V]", L"[CTRL]+[C]", L"[CTRL]+[C]"}));
  EXPECT_EQ(form->FUndoCells->Count(), 1) << "one edit, recorded once when it began";

  // Escape takes the whole edit back, pastes included.
  key(editor, VK_ESCAPE);
  EXPECT_EQ(grid().Cell(1, 1), L"AB");
}

TEST_F(SheetInMainWindow, ClicksSelectDragsExtendAndHeadersSelectBlocks) {
  SendMessageW(sheet, WM_LBUTTONDOWN, MK_LBUTTON, at(3, 2));
  EXPECT_EQ(grid().Col(), 3);
  EXPECT_EQ(grid().Row(), 2);
  EXPECT_EQ(form->startCol, 3);
  SendMessageW(sheet, WM_MOUSEMOVE, MK_LBUTTON, at(4, 4));
  EXPECT_EQ(grid().Selection(), (TGridRect{3, 2, 4, 4}));
  SendMessageW(sheet, WM_LBUTTONUP, 0, at(4, 4));
  EXPECT_EQ(form->startCol, -1);
  EXPECT_EQ(form->StatusBar1.Panel(1), L"新規作成不可");

  SendMessageW(sheet, WM_LBUTTONDOWN, MK_LBUTTON, at(0, 0));
  SendMessageW(sheet, WM_LBUTTONUP, 0, at(0, 0));
  EXPECT_EQ(grid().Selection(), (TGridRect{1, 1, 4, 4}));
}

TEST_F(SheetInMainWindow, AltEnterMovesAndEditsAsEnterAltDeleteIsAKeyCommandAltF4StaysTheSystems) {
  grid().setCell(2, 1, L"two");
  {
    const TKeysHeld alt({VK_MENU});
    altKey(sheet, VK_RETURN);
    EXPECT_EQ(grid().Col(), 2);
    SendMessageW(sheet, WM_SYSCHAR, L'\r', (1 << 29) | 1);
    EXPECT_TRUE(grid().EditorMode());
    EXPECT_EQ(editorText(), L"two");
    altKey(editor, VK_RETURN);
    EXPECT_EQ(grid().Col(), 3) << "from the editor too";
    SendMessageW(editor, WM_SYSCHAR, L'\r', (1 << 29) | 1);
    EXPECT_FALSE(grid().EditorMode());
    altKey(sheet, VK_DELETE);
  }
  // Alt+Delete reached the key commands: its log line is there.
  EXPECT_EQ(form->Memo1.Lines().back(), L"[DELETE]");
  // Alt+F4 on the sheet goes on to the system, which closes the window.
  {
    const TKeysHeld alt({VK_MENU});
    altKey(sheet, VK_F4);
  }
  ASSERT_TRUE(pumpUntil([&] { return IsWindow(wnd) == FALSE; }));
  EXPECT_TRUE(fs::exists(ini));
}

}  // namespace
