// The replace dialog, the candidates popup and the list of texts not shown as
// real windows under Wine: their styles, places, fonts and tab order, and how
// each closes, driven by messages posted before the modal loop runs them.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/win32/hidden_list_win32.h"
#include "text/win32/input_list_win32.h"
#include "text/win32/replace_dialog_win32.h"

namespace {

RECT placeIn(HWND wnd, HWND parent) {
  RECT r{};
  GetWindowRect(wnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LOGFONTW fontOf(HWND wnd) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

class TextDialogs : public ::testing::Test {
 protected:
  HWND owner = nullptr;
  void SetUp() override {
    owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 100, 100, 581, 380, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override { DestroyWindow(owner); }
};

TEST_F(TextDialogs, ReplaceDialogControlsPlacesFontsAndTabOrder) {
  TReplaceDialogWin32 dialog;
  ASSERT_TRUE(dialog.create(GetModuleHandleW(nullptr), owner));
  const HWND wnd = dialog.handle();
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 203);
  EXPECT_EQ(client.bottom, 128);
  EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_FALSE(IsWindowVisible(wnd));
  wchar_t caption[32] = {};
  GetWindowTextW(wnd, caption, 32);
  EXPECT_EQ(std::wstring(caption), L"文字列置換");

  const struct {
    int id;
    RECT place;
    const wchar_t* text;
  } controls[] = {{kIdReplaceEdit1, {74, 31, 195, 53}, L""},
                  {kIdReplaceEdit2, {74, 58, 195, 80}, L""},
                  {kIdReplaceButton1, {23, 95, 98, 120}, L"実行"},
                  {kIdReplaceButton2, {104, 95, 179, 120}, L"取り消し"},
                  {kIdReplaceCheckBox1, {74, 8, 211, 25}, L"大文字/小文字を無視"}};
  for (const auto& c : controls) {
    const HWND control = GetDlgItem(wnd, c.id);
    const RECT r = placeIn(control, wnd);
    EXPECT_TRUE(EqualRect(&r, &c.place)) << c.id << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    wchar_t text[64] = {};
    GetWindowTextW(control, text, 64);
    EXPECT_EQ(std::wstring(text), c.text);
  }
  const RECT label1 = placeIn(GetDlgItem(wnd, kIdReplaceLabel1), wnd);
  const RECT label2 = placeIn(GetDlgItem(wnd, kIdReplaceLabel2), wnd);
  EXPECT_EQ(std::make_pair(label1.left, label1.top), std::make_pair(8L, 34L));
  EXPECT_EQ(std::make_pair(label2.left, label2.top), std::make_pair(8L, 61L));
  const LOGFONTW editFont = fontOf(GetDlgItem(wnd, kIdReplaceEdit1));
  EXPECT_EQ(std::wstring(editFont.lfFaceName), L"Tahoma");
  EXPECT_EQ(editFont.lfHeight, -12);
  EXPECT_EQ(editFont.lfWeight, FW_BOLD);
  EXPECT_TRUE(dialog.ignoreCase()) << "ticked when the program starts";

  // Tab order: Edit1, Edit2, Button1, Button2, CheckBox1, and round again.
  std::vector<int> order;
  HWND at = GetDlgItem(wnd, kIdReplaceEdit1);
  for (int i = 0; i < 6; ++i) {
    order.push_back(GetDlgCtrlID(at));
    at = GetNextDlgTabItem(wnd, at, FALSE);
  }
  EXPECT_EQ(order, (std::vector<int>{kIdReplaceEdit1, kIdReplaceEdit2, kIdReplaceButton1, kIdReplaceButton2,
                                     kIdReplaceCheckBox1, kIdReplaceEdit1}));
  // Neither button is the default one.
  EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(wnd, kIdReplaceButton1), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
}

TEST_F(TextDialogs, ReplaceDialogClosesByItsButtonsAndCloseBoxAndKeepsItsState) {
  TReplaceDialogWin32 dialog;
  ASSERT_TRUE(dialog.create(GetModuleHandleW(nullptr), owner));
  const HWND wnd = dialog.handle();
  dialog.setTexts(L"abc", L"abc");
  SetDlgItemTextW(wnd, kIdReplaceEdit2, L"x");
  CheckDlgButton(wnd, kIdReplaceCheckBox1, BST_UNCHECKED);  // the user's choice, kept from now on
  // Enter and Escape close nothing: the posted click of 実行 does.
  PostMessageW(GetDlgItem(wnd, kIdReplaceEdit1), WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(GetDlgItem(wnd, kIdReplaceEdit1), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(GetDlgItem(wnd, kIdReplaceButton1), BM_CLICK, 0, 0);
  EXPECT_TRUE(dialog.ShowModal());
  EXPECT_FALSE(IsWindowVisible(wnd));
  EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is enabled again";
  EXPECT_EQ(dialog.findText(), L"abc");
  EXPECT_EQ(dialog.replacementText(), L"x");
  EXPECT_FALSE(dialog.ignoreCase()) << "the box keeps the state the user gave it";

  PostMessageW(GetDlgItem(wnd, kIdReplaceButton2), BM_CLICK, 0, 0);
  EXPECT_FALSE(dialog.ShowModal());
  PostMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(dialog.ShowModal());
  EXPECT_FALSE(dialog.ignoreCase());
  EXPECT_EQ(dialog.replacementText(), L"x");

  // Centred over the owner.
  RECT o{};
  RECT d{};
  GetWindowRect(owner, &o);
  GetWindowRect(wnd, &d);
  EXPECT_NEAR((d.left + d.right) / 2, (o.left + o.right) / 2, 1);
  EXPECT_NEAR((d.top + d.bottom) / 2, (o.top + o.bottom) / 2, 1);

  // Into the topmost band (Wine 8 leaves the style set on the way out, so
  // only the way in is checked here).
  dialog.setTopmost(true);
  EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(TextDialogs, PopupStylesSizeAndFont) {
  TInputListWin32 popup;
  ASSERT_TRUE(popup.create(GetModuleHandleW(nullptr), owner));
  const HWND wnd = popup.handle();
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_STYLE)) & ~WS_CLIPSIBLINGS,
            static_cast<DWORD>(WS_POPUP | WS_BORDER | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetClassLongPtrW(wnd, GCL_STYLE) & CS_DROPSHADOW);
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 296);
  EXPECT_EQ(client.bottom, 200);
  RECT list{};
  GetWindowRect(popup.listBox(), &list);
  EXPECT_EQ(list.right - list.left, 296) << "the list fills the client area";
  const LOGFONTW font = fontOf(popup.listBox());
  EXPECT_EQ(std::wstring(font.lfFaceName), L"ＭＳ ゴシック");
  EXPECT_EQ(font.lfHeight, -15);
  EXPECT_EQ(SendMessageW(popup.listBox(), LB_GETITEMHEIGHT, 0, 0), 15);

  // A size the user gives it stays; a move keeps it.
  SetWindowPos(wnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  popup.moveTo({50, 60});
  RECT r{};
  GetWindowRect(wnd, &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(popup.outerWidth(), 400);
  EXPECT_EQ(popup.outerHeight(), 300);
}

TEST_F(TextDialogs, PopupClosesByTheTable) {
  TInputListWin32 popup;
  ASSERT_TRUE(popup.create(GetModuleHandleW(nullptr), owner));
  const HWND list = popup.listBox();
  const std::vector<std::wstring> items = {L"A", L"B", L"C"};
  const struct {
    const char* what;
    HWND target;
    UINT message;
    WPARAM wParam;
    std::optional<std::wstring> choice;
  } cases[] = {
      {"Down selects the second entry and picks it", list, WM_KEYDOWN, VK_DOWN, L"B"},
      {"Enter picks the first entry", list, WM_KEYDOWN, VK_RETURN, L"A"},
      {"Escape cancels", list, WM_KEYDOWN, VK_ESCAPE, std::nullopt},
      {"the right button cancels", list, WM_RBUTTONDOWN, MK_RBUTTON, std::nullopt},
      {"another application's activation cancels", popup.handle(), WM_ACTIVATEAPP, FALSE, std::nullopt},
  };
  for (const auto& c : cases) {
    popup.load(items);
    PostMessageW(c.target, c.message, c.wParam, 0);
    EXPECT_EQ(popup.ShowModal(), c.choice) << c.what;
    EXPECT_FALSE(IsWindowVisible(popup.handle())) << c.what;
  }
}

// An entry with a line break shows the sheet's mark, and the choice is the
// entry as it was given, break and all.
TEST_F(TextDialogs, PopupShowsLineBreaksAsMarksAndGivesTheEntryBack) {
  TInputListWin32 popup;
  ASSERT_TRUE(popup.create(GetModuleHandleW(nullptr), owner));
  const HWND list = popup.listBox();
  popup.load({L"寸法\n備考", L"B"});
  std::array<wchar_t, 16> shown{};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(shown.data()));
  EXPECT_EQ(std::wstring(shown.data()), L"寸法¶備考");
  PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(popup.ShowModal(), std::optional<std::wstring>(L"寸法\n備考"));
}

// The same list piece with the other closing table: moving the selection
// keeps this list open, so Down then Enter picks the second line.
TEST_F(TextDialogs, HiddenListClosesByItsOwnTableAndScrollsToItsWidestLine) {
  THiddenListWin32 list;
  ASSERT_TRUE(list.create(GetModuleHandleW(nullptr), owner));
  const HWND box = list.listBox();
  const std::vector<std::wstring> lines = {L"A1 短い", std::wstring(120, L'長'), L"C3"};
  const struct {
    const char* what;
    HWND target;
    std::vector<std::pair<UINT, WPARAM>> posted;
    std::optional<std::size_t> choice;
  } cases[] = {
      {"Enter picks the first line", box, {{WM_KEYDOWN, VK_RETURN}}, 0},
      {"Down keeps it open, Enter picks the second", box, {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}}, 1},
      {"Escape cancels", box, {{WM_KEYDOWN, VK_ESCAPE}}, std::nullopt},
      {"the right button cancels", box, {{WM_RBUTTONDOWN, MK_RBUTTON}}, std::nullopt},
      {"the close box cancels", list.handle(), {{WM_CLOSE, 0}}, std::nullopt},
      {"another application's activation cancels", list.handle(), {{WM_ACTIVATEAPP, FALSE}}, std::nullopt},
  };
  for (const auto& c : cases) {
    list.load(lines);
    for (const auto& [message, wParam] : c.posted) PostMessageW(c.target, message, wParam, 0);
    EXPECT_EQ(list.ShowModal(), c.choice) << c.what;
    EXPECT_FALSE(IsWindowVisible(list.handle())) << c.what;
  }
  EXPECT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 3);
  RECT client{};
  GetClientRect(box, &client);
  EXPECT_GT(SendMessageW(box, LB_GETHORIZONTALEXTENT, 0, 0), client.right) << "the long line scrolls sideways";
}

}  // namespace
