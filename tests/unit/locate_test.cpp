// Locate: the arrowhead's geometry, and the sheet's click against the fake
// CAD and desktop: the handle in the status bar, the zoom window, the lines
// painted on the screen, and which moves of the current cell run it.
#include <gtest/gtest.h>

#include <utility>

#include "sheet/grid_keys.h"
#include "writeback/locate.h"
#include "table_access.h"
#include "writeback_fixture.h"

namespace {

TEST(LocateGeometryTest, ArrowheadAndZoomFollowTheDrawingAreaAndTheDisplayScale) {
  const struct {
    TDrawingArea area;
    std::int32_t scale;
    std::array<TScreenPoint, 4> points;
  } cases[] = {
      // 1000 pixels wide: 50 long, 25 above and below the tip's row.
      {{0, 0, 1000, 600}, 100, {{{500, 300}, {450, 275}, {450, 325}, {500, 300}}}},
      // 150 percent: every coordinate times 1.5, truncated; lengths taken before scaling.
      {{101, 33, 1000, 601}, 150, {{{901, 499}, {826, 462}, {826, 537}, {901, 499}}}},
      // Odd sizes: integer halves, lengths truncated.
      {{10, 10, 333, 99}, 100, {{{176, 59}, {160, 51}, {160, 67}, {176, 59}}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(arrowPoints(c.area, kArrowRatio, c.scale), c.points);
  }
  EXPECT_EQ(drawingArea({100, 100, 1100, 120}, {100, 120, 1100, 740}), (TDrawingArea{100, 120, 1000, 600}));
  // As high as the view, nine tenths as wide: 100 units high over 600 pixels, 1000 pixels wide.
  const std::array<TPoint3, 2> corners = zoomCorners({50.0, 20.0, 0.0}, 100.0, {0, 0, 1000, 600});
  EXPECT_DOUBLE_EQ(corners[0][0], 50.0 - 75.0);
  EXPECT_DOUBLE_EQ(corners[0][1], 20.0 - 50.0);
  EXPECT_DOUBLE_EQ(corners[1][0], 50.0 + 75.0);
  EXPECT_DOUBLE_EQ(corners[1][1], 20.0 + 50.0);
}

constexpr TWnd kBar = 0x4001;
constexpr TWnd kView = 0x4002;

class LocateTest : public TWritebackTest {
 protected:
  void SetUp() override {
    TWritebackTest::SetUp();
    acquire({{2, 3}});
    const TWnd document = static_cast<TWnd>(cad.doc().drawingWindow);
    desktop.places[document] = {{100, 80, 1100, 740}, kBar, 0};
    desktop.places[kBar] = {{100, 100, 1100, 120}, 0, kView};
    desktop.places[kView] = {{100, 120, 1100, 740}, 0, 0};
    cad.doc().viewSize = 100.0;
  }
  // Makes (col, row) current as a click does.
  void click(int col, int row) {
    cad.lastZoom.reset();
    desktop.screenLines.clear();
    grid().moveTo(col, row);
  }
  std::wstring status() { return form->StatusBar1.Panel(0); }
};

TEST_F(LocateTest, ACellsTextOrLeftEdgeComesToTheMiddleOfTheViewWithAnArrowheadPointingAtIt) {
  const struct {
    int col, row;
    bool tagged;
    TPoint3 target;
  } cases[] = {
      {1, 2, true, {2.0, kTop - kCellH - 7.0, 0.0}},         // a text's anchor
      {2, 3, false, {kCellW, kTop - 2.5 * kCellH, 0.0}},     // an empty cell: left edge, half height
      {3, 4, false, {2 * kCellW, kTop - 3.5 * kCellH, 0.0}},  // a column without texts
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.col) + "," + std::to_string(c.row));
    click(c.col, c.row);
    EXPECT_EQ(status(), c.tagged ? L" Handle = " + handleOf(c.col, c.row) : L"");
    ASSERT_TRUE(cad.lastZoom.has_value());
    EXPECT_DOUBLE_EQ(cad.lastZoom->first[0], c.target[0] - 75.0);
    EXPECT_DOUBLE_EQ(cad.lastZoom->first[1], c.target[1] - 50.0);
    EXPECT_DOUBLE_EQ(cad.lastZoom->second[0], c.target[0] + 75.0);
    EXPECT_DOUBLE_EQ(cad.lastZoom->second[1], c.target[1] + 50.0);
    ASSERT_EQ(desktop.screenLines.size(), 1u);
    EXPECT_EQ(desktop.screenLines[0].points,
              (std::vector<TScreenPoint>{{600, 420}, {550, 395}, {550, 445}, {600, 420}}));
    EXPECT_EQ(desktop.screenLines[0].penWidth, 3);
    EXPECT_EQ(desktop.screenLines[0].colour, 0x006464FFu);
    EXPECT_LT(desktop.indexOf("sleep 100"), desktop.indexOf("drawScreenLines"));
  }
  // The CAD was never brought forward.
  EXPECT_EQ(desktop.indexOf("setForegroundWindow"), -1);
}

TEST_F(LocateTest, WithoutATargetOrTheCheckOrAnAreaTheViewStaysAndOnlyTheStatusChanges) {
  // "矢印描画" unchecked.
  form->CheckBox6.setChecked(false);
  click(1, 2);
  EXPECT_EQ(status(), L" Handle = " + handleOf(1, 2));
  EXPECT_FALSE(cad.lastZoom.has_value());
  form->CheckBox6.setChecked(true);

  // A drawing area of no height: no zoom, nothing painted.
  desktop.places[kView].rect.bottom = 120;
  click(1, 3);
  EXPECT_FALSE(cad.lastZoom.has_value());
  EXPECT_TRUE(desktop.screenLines.empty());
  desktop.places[kView].rect.bottom = 740;

  // A failing CAD call: silent, the status still shown.
  cad.failOn(L"Document.GetVariable", L"応答なし");
  click(1, 4);
  EXPECT_EQ(status(), L" Handle = " + handleOf(1, 4));
  EXPECT_FALSE(cad.lastZoom.has_value());
  EXPECT_TRUE(desktop.messages.empty());
  cad.clearFaults();

  // An untagged cell beyond the boundary arrays.
  TDblAry cols = form->table().bounds.cols();
  cols.pop_back();
  TTableAccess::of(*form).bounds.assign(cols, form->table().bounds.rows());
  click(3, 1);
  EXPECT_EQ(status(), L"");
  EXPECT_FALSE(cad.lastZoom.has_value());
}

TEST_F(LocateTest, AMinimisedCadIsRestoredButNotBroughtForwardAndTheScaleAppliesToTheArrow) {
  desktop.windows[static_cast<TWnd>(cad.mainWindow)].iconic = true;
  form->scaleFactor = 150;
  click(1, 2);
  EXPECT_GE(desktop.indexOf("openIcon " + std::to_string(cad.mainWindow)), 0);
  EXPECT_EQ(desktop.indexOf("setForegroundWindow"), -1);
  ASSERT_EQ(desktop.screenLines.size(), 1u);
  EXPECT_EQ(desktop.screenLines[0].points,
            (std::vector<TScreenPoint>{{900, 630}, {825, 592}, {825, 667}, {900, 630}}));
}

TEST_F(LocateTest, EveryMoveOfTheCurrentCellByKeyOrUndoLocatesAndEnterWrapsTwice) {
  grid().moveTo(1, kRows);
  form->CheckBox3.setChecked(true);  // Enter moves down
  const int before = cad.countOf(L"Application.ZoomWindow");
  std::uint16_t key = gridKey::kReturn;
  form->StringGrid1KeyDown(key, {});  // from the last row: to row 1, then to the next column
  EXPECT_EQ(grid().Col(), 2);
  EXPECT_EQ(grid().Row(), 1);
  EXPECT_EQ(cad.countOf(L"Application.ZoomWindow"), before + 2);

  // Undo goes back to the edited cell: column first, then row, two moves.
  form->StringGrid1GetEditText(1, 2);
  grid().setCell(1, 2, L"typed");
  key = gridKey::kEscape;
  form->StringGrid1KeyDown(key, {});
  EXPECT_EQ(grid().Cell(1, 2), L"r2c1");
  EXPECT_EQ(status(), L" Handle = " + handleOf(1, 2));
  EXPECT_EQ(cad.countOf(L"Application.ZoomWindow"), before + 4);

  // A grouped undo moves through every cell it restores but shows the CAD
  // only the cell it ends on; so does the UNDO button.
  desktop.clipboard = L"a\tb\r\n";
  for (const bool button : {false, true}) {
    SCOPED_TRACE(button ? "UNDO button" : "Ctrl+Z");
    grid().setSelection({1, 1}, {2, 3});
    key = gridKey::kV;
    form->StringGrid1KeyDown(key, {.ctrl = true});
    ASSERT_EQ(form->FUndoCells->groupCount(), 6);
    grid().moveTo(3, 4);
    const int zooms = cad.countOf(L"Application.ZoomWindow");
    if (button) {
      form->SpeedButton1.Click();
    } else {
      key = gridKey::kZ;
      form->StringGrid1KeyDown(key, {.ctrl = true});
    }
    EXPECT_EQ(grid().Cell(2, 2), L"r2c2");
    EXPECT_EQ((std::pair{grid().Col(), grid().Row()}), (std::pair{1, 1}));
    EXPECT_EQ(cad.countOf(L"Application.ZoomWindow"), zooms + 1);
    EXPECT_EQ(status(), L" Handle = " + handleOf(1, 1));
  }
  const int zooms = cad.countOf(L"Application.ZoomWindow");

  // No Locate while Update runs: a click then only shows the handle.
  set(1, 1, L"x");
  desktop.onProcessMessages = [this] { grid().moveTo(1, 3); };
  form->Button2.Click();
  EXPECT_EQ(cad.countOf(L"Application.ZoomWindow"), zooms);
  EXPECT_EQ(status(), L" Handle = " + handleOf(1, 3));
}

// A close delivered while Locate waits on the CAD comes after it.
TEST_F(LocateTest, ACloseDuringLocateWaitsForItsEnd) {
  int closes = 0;
  form->OnDeferredClose = [&] { ++closes; };
  bool closedInside = true;
  bool asked = false;
  desktop.onSleep = [&] {
    if (std::exchange(asked, true)) return;
    closedInside = form->FormCloseQuery();
    // A command run meanwhile does not let the close through at its end.
    form->SpeedButton1.Click();
    EXPECT_EQ(closes, 0);
  };
  click(1, 2);
  EXPECT_FALSE(closedInside);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(status(), L" Handle = " + handleOf(1, 2));
}

}  // namespace
