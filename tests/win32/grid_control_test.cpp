// The sheet's control under Wine over a bare grid model, without a form:
// messages sent to it as the system would send them, and the model and the
// owner's hooks checked after each. Everything runs synchronously through
// SendMessage, so no test waits. Also measures one benchmark figure:
// painting a 1,000 x 30 sheet scrolled to its middle.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "app/pending_look.h"
#include "platform/win32/handle_owners.h"
#include "keys_held.h"
#include "sheet/cell_look.h"
#include "sheet/grid_geometry.h"
#include "sheet/line_break_mark.h"
#include "sheet/win32/gdi_text_metrics.h"
#include "sheet/win32/grid_control.h"

namespace {

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND createHost() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = hostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MorvaneGridTestHost";
  RegisterClassExW(&wc);  // a second registration fails harmlessly
  return CreateWindowExW(0, wc.lpszClassName, L"grid host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 400, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

class GridControl : public ::testing::Test {
 protected:
  void SetUp() override {
    host = createHost();
    ASSERT_NE(host, nullptr);
    TGridControlHooks hooks;
    hooks.contextMenu = [this](int x, int y) { menuAt.push_back({x, y}); };
    hooks.drawCell = [this](std::int32_t col, std::int32_t row, const TCellRect& rect, TDrawState state) {
      ++drawnCells;
      TCellLook look = normalCellLook(grid, col, row, rect, state);
      if (col == greyColumn && !isHeaderCell(grid, col, row)) {
        look.fill = TCellFill::ButtonFace;
        look.fillRect = {rect.left - 4, rect.top, rect.right + 1, rect.bottom + 1};  // over its left neighbour
      }
      if ((markAll && !isHeaderCell(grid, col, row)) || (col == markedCell.X && row == markedCell.Y)) {
        addCornerMark(look, rect, kMarkColor);
      }
      if (col == 2 && row >= 1 && row <= static_cast<std::int32_t>(markKinds.size())) {
        const TPendingMarkLook mark = pendingMark(markKinds[static_cast<std::size_t>(row - 1)]);
        addCornerMark(look, rect, mark.color, mark.shape);
      }
      if (col == crowdedCell.X && row == crowdedCell.Y) {
        addLeftMark(look, kMarkCrowded);
      }
      return look;
    };
    hooks.painted = [this] { ++paints; };
    // The key and mouse hooks hand on to whatever a test puts in `owner`.
    hooks.keyDown = [this](std::uint16_t& k, TShiftState shift) {
      if (owner.keyDown) owner.keyDown(k, shift);
    };
    hooks.fixedCellClick = [this](std::int32_t col, std::int32_t row) {
      if (owner.fixedCellClick) owner.fixedCellClick(col, row);
    };
    hooks.mouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
      if (owner.mouseDown) owner.mouseDown(button, shift, x, y);
    };
    hooks.mouseMove = [this](TShiftState shift, int x, int y) {
      if (owner.mouseMove) owner.mouseMove(shift, x, y);
    };
    hooks.mouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
      if (owner.mouseUp) owner.mouseUp(button, shift, x, y);
    };
    sheet = createGridControl(host, 100, grid, std::move(hooks));
    ASSERT_NE(sheet, nullptr);
    MoveWindow(sheet, 0, 0, 581, 182, TRUE);
    editor = FindWindowExW(sheet, nullptr, L"EDIT", nullptr);
    ASSERT_NE(editor, nullptr);
  }
  void TearDown() override {
    if (host != nullptr) DestroyWindow(host);
  }

  // A bitmap the size of the sheet's client area, to paint the sheet into.
  std::unique_ptr<TOffscreenDc> offscreen() const {
    RECT client{};
    GetClientRect(sheet, &client);
    return std::make_unique<TOffscreenDc>(TWindowDc(sheet).get(), client.right, client.bottom);
  }
  bool editorShown() const { return (GetWindowLongPtrW(editor, GWL_STYLE) & WS_VISIBLE) != 0; }
  std::wstring editorText() const {
    std::array<wchar_t, 256> buffer{};
    GetWindowTextW(editor, buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
  }
  LPARAM at(std::int32_t col, std::int32_t row) const {
    const TCellRect r = cellRect(grid, col, row).value();
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void key(HWND target, WPARAM vk) { SendMessageW(target, WM_KEYDOWN, vk, 1); }
  void type(HWND target, wchar_t ch) { SendMessageW(target, WM_CHAR, ch, 1); }

  TStringGrid grid;
  int drawnCells = 0;
  std::int32_t greyColumn = -1;  // painted grey by the owner's draw hook
  TGridCoord markedCell{-1, -1};  // given a corner mark by the hook
  bool markAll = false;           // every data cell given one
  std::vector<TPending> markKinds;  // column 2, from row 1 down: the mark of each kind
  TGridCoord crowdedCell{-1, -1};   // given the mark of a cell holding more than one text
  static constexpr COLORREF kMarkColor = RGB(230, 0, 0);
  int paints = 0;                 // the painted hook's calls
  HWND host = nullptr;
  HWND sheet = nullptr;
  HWND editor = nullptr;
  std::vector<POINT> menuAt;
  TGridControlHooks owner;  // the key and mouse hooks a test listens with
};

TEST_F(GridControl, AsksForEveryKeyTheSheetNeeds) {
  const LRESULT code = SendMessageW(sheet, WM_GETDLGCODE, 0, 0);
  EXPECT_EQ(code & (DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB),
            DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
  EXPECT_EQ(SendMessageW(editor, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
  const LONG_PTR style = GetWindowLongPtrW(sheet, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_TABSTOP), WS_CHILD | WS_TABSTOP);
  EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), 0) << "a sheet that fits needs no scroll bar";
}

TEST_F(GridControl, TypingStartsAnEditReplacingTheTextAndTheEditorFeedsTheCell) {
  grid.setCell(1, 1, L"old");
  std::vector<std::wstring> takenUp;  // the cell's text each time the editor takes it up
  grid.OnGetEditText = [&](std::int32_t col, std::int32_t row) { takenUp.push_back(grid.Cell(col, row)); };
  type(sheet, L'a');
  EXPECT_TRUE(grid.EditorMode());
  EXPECT_EQ(grid.Cell(1, 1), L"a");
  ASSERT_TRUE(editorShown());
  EXPECT_EQ(editorText(), L"a");
  EXPECT_EQ(takenUp, std::vector<std::wstring>{L"old"}) << "asked for before the character replaced it";

  type(editor, L'b');
  type(editor, L'図');
  EXPECT_EQ(grid.Cell(1, 1), L"ab図") << "every change of the EDIT goes into the cell";

  RECT placed{};
  GetWindowRect(editor, &placed);
  MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&placed), 2);
  const TCellRect cell = cellRect(grid, 1, 1).value();
  EXPECT_EQ(placed.left, cell.left);
  EXPECT_EQ(placed.right, cell.right);
  EXPECT_GE(placed.top, cell.top);
  EXPECT_LE(placed.bottom, cell.bottom);
  EXPECT_LE(std::abs((placed.top - cell.top) - (cell.bottom - placed.bottom)), 1) << "centred in the cell";
}

// A cell's line breaks show as marks in its editor; the edit gives back as
// many breaks as the cell had, and a mark typed beyond those is a character.
TEST_F(GridControl, TheEditorShowsLineBreaksAsMarksAndGivesBackNoMoreThanTheCellHad) {
  grid.setCell(1, 1, L"寸法\n備考");
  grid.setCell(2, 1, L"a\nb");
  grid.setEditorMode(true);
  ASSERT_TRUE(editorShown());
  EXPECT_EQ(editorText(), L"寸法¶備考");
  EXPECT_EQ(grid.Cell(1, 1), L"寸法\n備考") << "taking the text up changes nothing";
  SendMessageW(editor, EM_SETSEL, 0, 0);
  type(editor, L'¶');
  EXPECT_EQ(editorText(), L"¶寸法¶備考");
  EXPECT_EQ(grid.Cell(1, 1), L"\n寸法¶備考") << "one break, the first mark";
  SendMessageW(editor, EM_SETSEL, 0, 1);
  SendMessageW(editor, WM_CLEAR, 0, 0);
  EXPECT_EQ(grid.Cell(1, 1), L"寸法\n備考") << "the typed mark gone, the cell's break is back in its place";

  grid.moveTo(2, 1);  // the editor follows, and takes up the next cell's one break
  EXPECT_EQ(editorText(), L"a¶b");
  SendMessageW(editor, EM_SETSEL, 3, 3);
  type(editor, L'¶');
  EXPECT_EQ(grid.Cell(2, 1), L"a\nb¶");
  EXPECT_EQ(grid.Cell(1, 1), L"寸法\n備考");
}

TEST_F(GridControl, EnterTogglesEditingAfterTheOwnersKeyHook) {
  grid.setCell(1, 1, L"one");
  std::vector<std::uint16_t> keys;
  owner.keyDown = [&](std::uint16_t& k, TShiftState) { keys.push_back(k); };
  key(sheet, VK_RETURN);
  type(sheet, L'\r');
  EXPECT_TRUE(grid.EditorMode());
  EXPECT_TRUE(editorShown());
  EXPECT_EQ(editorText(), L"one");
  key(editor, VK_RETURN);
  type(editor, L'\r');
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_FALSE(editorShown());
  EXPECT_EQ(keys, (std::vector<std::uint16_t>{VK_RETURN, VK_RETURN})) << "from the sheet and from its editor";
  EXPECT_EQ(grid.Col(), 1) << "moving on Enter is the owner's business";
}

TEST_F(GridControl, TabAndArrowsMoveTheCurrentCell) {
  key(sheet, VK_TAB);
  EXPECT_EQ(grid.Col(), 2);
  key(sheet, VK_DOWN);
  EXPECT_EQ(grid.Row(), 2);
  {
    const TKeysHeld shift({VK_SHIFT});
    key(sheet, VK_TAB);
  }
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 2);
  grid.moveTo(4, 2);
  key(sheet, VK_TAB);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 3);
}

// Puts a text on the real clipboard, as another program would.
void putOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  ASSERT_NE(memory, nullptr);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
  CloseClipboard();
}

TEST_F(GridControl, ASwallowedKeysCharacterNeverReachesTheEditor) {
  putOnClipboard(host, L"PASTED");
  owner.keyDown = [](std::uint16_t& k, TShiftState shift) {
    if (shift.ctrl && k == 'V') k = 0;
  };
  type(sheet, L'x');
  {
    const TKeysHeld ctrl({VK_CONTROL});
    key(editor, 'V');
  }
  type(editor, 0x16);  // the ^V the system sends after the key
  EXPECT_EQ(grid.Cell(1, 1), L"x") << "the EDIT pasted on its own";
  EXPECT_TRUE(grid.EditorMode());
  type(editor, L'y');
  EXPECT_EQ(grid.Cell(1, 1), L"xy") << "the next character is the editor's again";
}

TEST_F(GridControl, ClicksSelectAndHeaderClicksAndMouseEventsReachTheOwner) {
  int clicks = 0;
  std::vector<TGridCoord> headers;
  std::vector<std::wstring> mouse;
  grid.OnClick = [&] { ++clicks; };
  owner.fixedCellClick = [&](std::int32_t col, std::int32_t row) { headers.push_back({col, row}); };
  owner.mouseDown = [&](TMouseButton, TShiftState, int, int) { mouse.push_back(L"down"); };
  owner.mouseMove = [&](TShiftState, int, int) { mouse.push_back(L"move"); };
  owner.mouseUp = [&](TMouseButton, TShiftState, int, int) { mouse.push_back(L"up"); };
  SendMessageW(sheet, WM_LBUTTONDOWN, MK_LBUTTON, at(3, 2));
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_EQ(clicks, 0) << "the click waits for the release";
  SendMessageW(sheet, WM_MOUSEMOVE, MK_LBUTTON, at(4, 4));
  SendMessageW(sheet, WM_LBUTTONUP, 0, at(3, 2));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(mouse, (std::vector<std::wstring>{L"down", L"move", L"up"}));

  SendMessageW(sheet, WM_LBUTTONDOWN, MK_LBUTTON, at(0, 0));
  SendMessageW(sheet, WM_LBUTTONUP, 0, at(0, 0));
  SendMessageW(sheet, WM_LBUTTONDOWN, MK_LBUTTON, at(2, 0));
  SendMessageW(sheet, WM_LBUTTONUP, 0, at(3, 0));  // released elsewhere: no click
  EXPECT_EQ(headers, (std::vector<TGridCoord>{{0, 0}}));
  EXPECT_EQ(grid.Selection(), (TGridRect{3, 2, 3, 2})) << "what a header selects is the owner's business";
}

TEST_F(GridControl, DraggingAHeaderLineResizesTheColumn) {
  const int line = *columnLeft(grid, 2) + grid.ColWidth(2);
  SendMessageW(sheet, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(line, 5));
  SendMessageW(sheet, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(line + 30, 5));
  SendMessageW(sheet, WM_LBUTTONUP, 0, MAKELPARAM(line + 30, 5));
  EXPECT_EQ(grid.ColWidth(2), 70);
}

TEST_F(GridControl, ARightClickOpensTheMenuWhereItHappened) {
  SendMessageW(sheet, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 30));
  SendMessageW(sheet, WM_RBUTTONUP, 0, MAKELPARAM(50, 30));
  ASSERT_EQ(menuAt.size(), 1u);
  POINT expected{50, 30};
  ClientToScreen(sheet, &expected);
  EXPECT_EQ(menuAt[0].x, expected.x);
  EXPECT_EQ(menuAt[0].y, expected.y);
  EXPECT_EQ(grid.Col(), 1) << "the right button selects nothing";

  type(sheet, L'a');
  SendMessageW(editor, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(editor), MAKELPARAM(200, 150));
  ASSERT_EQ(menuAt.size(), 2u) << "the sheet's menu over the editor too";
  EXPECT_EQ(menuAt[1].x, 200);
  EXPECT_EQ(menuAt[1].y, 150);
}

TEST_F(GridControl, ScrollBarsFollowTheSheetAndMoveIt) {
  grid.setRowCount(1000);
  EXPECT_NE(GetWindowLongPtrW(sheet, GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(GetWindowLongPtrW(sheet, GWL_STYLE) & WS_HSCROLL, 0) << "every column fits";
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(sheet, SB_VERT, &info));
  EXPECT_EQ(info.nMin, 1);
  EXPECT_EQ(info.nMax, 999);
  SendMessageW(sheet, WM_VSCROLL, SB_PAGEDOWN, 0);
  const std::int32_t afterPage = grid.TopRow();
  EXPECT_GT(afterPage, 5);
  EXPECT_EQ(GetScrollPos(sheet, SB_VERT), afterPage);
  SendMessageW(sheet, WM_VSCROLL, SB_BOTTOM, 0);
  RECT client{};
  GetClientRect(sheet, &client);
  EXPECT_EQ(grid.TopRow(), maxTopRow(grid, client.bottom));
  const TCellRect last = cellRect(grid, 1, 999).value();
  EXPECT_LE(last.bottom, client.bottom) << "the last row shows whole";
  grid.moveTo(2, 1);
  EXPECT_EQ(grid.TopRow(), 1) << "a move brings the current cell into view";
  EXPECT_EQ(GetScrollPos(sheet, SB_VERT), 1);
  // A touchpad's thirds of a notch scroll a row each rather than nothing.
  for (int i = 0; i < 3; ++i) {
    SendMessageW(sheet, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-40)), 0);
  }
  EXPECT_EQ(grid.TopRow(), 4);
  EXPECT_EQ(GetScrollPos(sheet, SB_VERT), 4);
}

COLORREF pixel(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

TEST_F(GridControl, PaintsHeadersSkyBlueAndWhatTheOwnersDrawHookAsks) {
  greyColumn = 3;
  grid.moveTo(2, 2);
  const std::unique_ptr<TOffscreenDc> memory = offscreen();
  ASSERT_TRUE(memory->ok());
  paintGridControlTo(sheet, memory->dc());
  const TCellRect header = cellRect(grid, 3, 0).value();
  EXPECT_EQ(pixel(memory->dc(), header.left + 1, header.top + 1), RGB(166, 202, 240));
  const TCellRect grey = cellRect(grid, 3, 3).value();
  EXPECT_EQ(pixel(memory->dc(), grey.left + 1, grey.top + 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(drawnCells, 0);
  const TCellRect normal = cellRect(grid, 2, 3).value();
  EXPECT_EQ(pixel(memory->dc(), normal.left + 2, normal.top + 2), GetSysColor(COLOR_WINDOW));
  EXPECT_NE(pixel(memory->dc(), normal.right, normal.top + 2), GetSysColor(COLOR_WINDOW)) << "a grid line";
  const TCellRect selected = cellRect(grid, 2, 4).value();
  grid.setSelection({2, 1}, {2, 4});
  paintGridControlTo(sheet, memory->dc());
  EXPECT_EQ(pixel(memory->dc(), selected.left + 2, selected.top + 2), GetSysColor(COLOR_HIGHLIGHT));
}

// The mark lies in the cell's top-right corner, its long edge white, over the
// reach of a greyed cell to its right; each paint of the window tells the owner.
TEST_F(GridControl, PaintsTheCornerMarkInsideTheCellOverAGreyNeighbourAndTellsTheOwner) {
  greyColumn = 3;
  markedCell = {2, 3};
  grid.setCell(2, 3, L"WWWWWWWWWWWWWWWW");
  const std::unique_ptr<TOffscreenDc> memory = offscreen();
  ASSERT_TRUE(memory->ok());
  paintGridControlTo(sheet, memory->dc());
  const TCellRect cell = cellRect(grid, 2, 3).value();
  const HDC dc = memory->dc();
  for (int i = 0; i < kMarkSize; ++i) {
    EXPECT_EQ(pixel(dc, cell.right - kMarkSize + i, cell.top + i), RGB(255, 255, 255)) << "edge, line " << i;
    for (int x = cell.right - kMarkSize + i + 1; x < cell.right; ++x) {
      EXPECT_EQ(pixel(dc, x, cell.top + i), kMarkColor) << x << "," << cell.top + i;
    }
  }
  EXPECT_NE(pixel(dc, cell.right - 1, cell.top + kMarkSize), kMarkColor) << "below the mark";
  EXPECT_NE(pixel(dc, cell.right - kMarkSize - 1, cell.top), kMarkColor) << "left of the mark";
  EXPECT_EQ(pixel(dc, cell.right - 2, cell.bottom - 2), GetSysColor(COLOR_BTNFACE)) << "the grey reach";

  ShowWindow(host, SW_SHOW);
  UpdateWindow(host);
  const int before = paints;
  InvalidateRect(sheet, nullptr, FALSE);
  UpdateWindow(sheet);
  EXPECT_EQ(paints, before + 1);
}

// Every kind of pending mark as the user sees it, one under the other, on
// the window colour and on the highlight: in the mark's band at the right of
// its cell, exactly the pixels of its shape are in its colour, each line led
// by a white pixel, and the text stops short of the band.
TEST_F(GridControl, PaintsEachKindOfMarkInAShapeOfItsOwn) {
  markKinds = {TPending::Edit, TPending::Add, TPending::Delete, TPending::Unwritable, TPending::DrawingChanged};
  grid.setRowCount(7);
  grid.setColCount(4);
  for (std::int32_t row = 1; row <= 5; ++row) grid.setCell(2, row, L"WWWWWWWWWWWWWWWWWWWWWWWW");
  const std::unique_ptr<TOffscreenDc> memory = offscreen();
  ASSERT_TRUE(memory->ok());
  for (const bool selected : {false, true}) {
    if (selected) grid.setSelection({2, 1}, {2, 5});
    paintGridControlTo(sheet, memory->dc());
    const HDC dc = memory->dc();
    for (std::int32_t row = 1; row <= 5; ++row) {
      const TPendingMarkLook mark = pendingMark(markKinds[static_cast<std::size_t>(row - 1)]);
      const TCellRect cell = cellRect(grid, 2, row).value();
      std::set<std::pair<int, int>> shape;
      for (const TMarkRun& run : markRuns(mark.shape, cell)) {
        EXPECT_EQ(pixel(dc, run.left, run.y), RGB(255, 255, 255)) << row << ": edge of line " << run.y;
        for (int x = run.left + 1; x < run.right; ++x) shape.insert({x, run.y});
      }
      ASSERT_FALSE(shape.empty());
      std::set<std::pair<int, int>> painted;
      for (int y = cell.top; y < cell.bottom; ++y) {
        for (int x = cell.left; x < cell.right; ++x) {
          if (pixel(dc, x, y) == static_cast<COLORREF>(mark.color)) painted.insert({x, y});
        }
      }
      EXPECT_EQ(painted, shape) << "row " << row << (selected ? ", selected" : "");
    }
  }
}

// The mark of a cell holding more than one text lies at the cell's other
// end, beside an edit's mark in the same cell: each exactly in its own shape
// and colour, on the window colour and on the highlight, and its shape
// differs from every pending kind's placed in the same cell.
TEST_F(GridControl, PaintsTheCrowdedMarkInTheTopLeftCornerBesideAPendingMark) {
  markKinds = {TPending::Edit};
  crowdedCell = {2, 1};
  grid.setCell(2, 1, L"WWWWWWWWWWWWWWWWWWWWWWWW");
  const std::unique_ptr<TOffscreenDc> memory = offscreen();
  ASSERT_TRUE(memory->ok());
  const TCellRect cell = cellRect(grid, 2, 1).value();
  const auto colouredPixels = [&cell](TMarkShape shape) {
    std::set<std::pair<int, int>> pixels;
    for (const TMarkRun& run : markRuns(shape, cell)) {
      for (int x = run.left + 1; x < run.right; ++x) pixels.insert({x, run.y});
    }
    return pixels;
  };
  const std::set<std::pair<int, int>> crowded = colouredPixels(TMarkShape::LeftCorner);
  ASSERT_EQ(crowded.size(), 21u);
  for (const TMarkShape other : {TMarkShape::TopCorner, TMarkShape::BottomCorner, TMarkShape::EdgeBar,
                                 TMarkShape::MiddleSquare, TMarkShape::MiddleArrow}) {
    EXPECT_NE(colouredPixels(other), crowded) << static_cast<int>(other);
  }
  for (const TPending kind : {TPending::Edit, TPending::Add, TPending::Delete, TPending::Unwritable,
                              TPending::DrawingChanged}) {
    EXPECT_NE(pendingMark(kind).color, kMarkCrowded) << static_cast<int>(kind);
  }
  for (const bool selected : {false, true}) {
    if (selected) grid.setSelection({2, 1}, {2, 1});
    paintGridControlTo(sheet, memory->dc());
    const HDC dc = memory->dc();
    for (const TMarkRun& run : markRuns(TMarkShape::LeftCorner, cell)) {
      EXPECT_EQ(pixel(dc, run.left, run.y), RGB(255, 255, 255)) << "edge of line " << run.y;
    }
    std::set<std::pair<int, int>> teal;
    std::set<std::pair<int, int>> orange;
    for (int y = cell.top; y < cell.bottom; ++y) {
      for (int x = cell.left; x < cell.right; ++x) {
        const COLORREF c = pixel(dc, x, y);
        if (c == static_cast<COLORREF>(kMarkCrowded)) teal.insert({x, y});
        if (c == static_cast<COLORREF>(kMarkEdit)) orange.insert({x, y});
      }
    }
    EXPECT_EQ(teal, crowded) << (selected ? "selected" : "");
    EXPECT_EQ(orange, colouredPixels(TMarkShape::TopCorner)) << (selected ? "selected" : "");
  }
}

TEST_F(GridControl, BenchmarkPaintingAThousandRowSheetInItsMiddle) {
  {
  const TStringGrid::TUpdateScope updating(grid);
  grid.setColCount(30);
  grid.setRowCount(1000);
  for (std::int32_t row = 1; row < 1000; ++row) {
    grid.setCell(0, row, std::to_wstring(row));
    for (std::int32_t col = 1; col < 30; ++col) {
      grid.setCell(col, row, col % 3 == 0 ? L"図面番号" + std::to_wstring(row) : L"A-" + std::to_wstring(col));
      if (col % 5 != 0) grid.setTag(col, row, row * 30 + col);
    }
  }
  }
  grid.setTopRow(500);
  grid.setLeftCol(10);
  ASSERT_EQ(grid.TopRow(), 500);

  const std::unique_ptr<TOffscreenDc> memory = offscreen();
  ASSERT_TRUE(memory->ok());
  constexpr int kPaints = 100;
  // Without marks, then with a corner mark in every data cell.
  for (const bool marked : {false, true}) {
    markAll = marked;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kPaints; ++i) {
      paintGridControlTo(sheet, memory->dc());
    }
    GdiFlush();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ BENCH    ] paint of a 1000 x 30 sheet at row 500, " << memory->width() << " x " << memory->height()
              << " px" << (marked ? ", every cell marked" : "") << ": " << ms / kPaints << " ms per paint ("
              << kPaints << " paints)" << std::endl;
    RecordProperty(marked ? "paint_marked_ms" : "paint_ms", std::to_string(ms / kPaints));
  }
  // What was measured was a real paint of the middle of the sheet.
  const TCellRect cell = cellRect(grid, 10, 500).value();
  EXPECT_EQ(GetPixel(memory->dc(), 2, cell.top + 2), RGB(166, 202, 240));
}

}  // namespace

namespace {

// Writes a 24-bit BMP of the window's client area as it shows on the screen.
bool saveClientBitmap(HWND hwnd, const std::wstring& path) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const int w = client.right;
  const int h = client.bottom;
  const TWindowDc screen(hwnd);
  const TMemoryDc memory(screen.get());
  TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), w, h));
  {
    const TSelectScope select(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, w, h, screen.get(), 0, 0, SRCCOPY);
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (w * 3 + 3) & ~3;
  std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h));
  GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = nullptr;
  if (_wfopen_s(&out, path.c_str(), L"wb") != 0 || out == nullptr) return false;
  fwrite(&file, sizeof(file), 1, out);
  fwrite(&info, sizeof(info), 1, out);
  fwrite(pixels.data(), 1, pixels.size(), out);
  return fclose(out) == 0;
}

// Not a check: a picture of a filled sheet with an edit under way, for a
// person to look at. Run with --gtest_also_run_disabled_tests and
// MORVANE_SHEET_PICTURE set to the BMP file to write.
TEST_F(GridControl, DISABLED_PictureOfAFilledSheet) {
  std::array<wchar_t, MAX_PATH> path{};
  if (GetEnvironmentVariableW(L"MORVANE_SHEET_PICTURE", path.data(), MAX_PATH) == 0) {
    GTEST_SKIP() << "MORVANE_SHEET_PICTURE names no file";
  }
  const std::vector<std::vector<std::wstring>> rows = {
      {L"番号", L"品名", L"数量", L"備考", L""},
      {L"1", L"鋼管 SGP 50A", L"12", L"", L""},
      {L"2", L"フランジ", L"4", L"JIS 10K", L""},
      {L"3", L"ボルト M16", L"32", L"", L""},
      {L"4", L"ガスケット", L"4", L"t=3\n予備", L"追記"},
  };
  grid.setColCount(6);
  grid.setRowCount(8);
  for (std::int32_t c = 1; c < 6; ++c) grid.setCell(c, 0, std::to_wstring(c));
  for (std::int32_t r = 1; r < 8; ++r) grid.setCell(0, r, std::to_wstring(r));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const auto col = static_cast<std::int32_t>(c + 1);
      const auto row = static_cast<std::int32_t>(r + 1);
      grid.setCell(col, row, rows[r][c]);
      // Column 5 holds no drawing text: it shows grey.
      if (!rows[r][c].empty() && col != 5) grid.setTag(col, row, static_cast<std::int32_t>(0x100 + r * 8 + c));
    }
  }
  grid.setColWidth(2, 110);
  grid.setColWidth(4, 70);
  ShowWindow(host, SW_SHOW);
  MoveWindow(sheet, 0, 0, 581, 182, TRUE);
  grid.moveTo(3, 3);
  type(sheet, L'8');
  type(editor, L'0');
  RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  ASSERT_TRUE(saveClientBitmap(sheet, path.data()));
}

}  // namespace

namespace {

TEST(GdiTextMetrics, MeasuresInTheSheetsFont) {
  TGdiTextMetrics metrics;
  EXPECT_EQ(metrics.textWidth(L""), 0);
  const int one = metrics.textWidth(L"図");
  EXPECT_GE(one, 10) << "a full-width character of a 13 px font";
  EXPECT_LE(one, 16);
  EXPECT_EQ(metrics.textWidth(L"図面番号"), 4 * one) << "a fixed-pitch font";
  const int half = metrics.textWidth(L"A");
  EXPECT_GT(half, 0);
  EXPECT_LT(half, one) << "half-width characters are narrower";
  EXPECT_EQ(metrics.textWidth(L"a\nb"), metrics.textWidth(L"a¶b")) << "a line break measures as its mark";
}

// The mark a line break shows as is drawn from the sheet's own font, never
// as the box of a missing glyph or from a fallback font.
TEST(GdiTextMetrics, TheLineBreakMarkIsAGlyphOfTheSheetsFont) {
  const TWindowDc screen(nullptr);
  const TGdiObject<HFONT> font(createSheetFont());
  const TSelectScope select(screen.get(), font.get());
  const wchar_t mark[] = {kLineBreakMark, L'\0'};
  WORD glyph = 0;
  ASSERT_EQ(GetGlyphIndicesW(screen.get(), mark, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS), 1u);
  EXPECT_NE(glyph, 0xFFFF);
}

}  // namespace
