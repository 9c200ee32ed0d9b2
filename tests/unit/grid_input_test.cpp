// The grid's own answer to keys, characters and the mouse, on the model alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/cell_look.h"
#include "sheet/grid_geometry.h"
#include "sheet/grid_input.h"
#include "sheet/grid_keys.h"

namespace {

using TStrings = std::vector<std::string>;

class GridInput : public ::testing::Test {
 protected:
  GridInput() {
    grid.setColCount(6);
    grid.setRowCount(30);
    input.setViewSize(41 + 41 * 10, 21 + 21 * 5);  // every column, 5 whole data rows
    grid.OnSelectCell = [this](std::int32_t c, std::int32_t r, bool&) {
      events.push_back("select " + std::to_string(c) + "," + std::to_string(r));
    };
    grid.OnClick = [this] { events.push_back("click"); };
    grid.OnGetEditText = [this](std::int32_t c, std::int32_t r) {
      events.push_back("record " + std::to_string(c) + "," + std::to_string(r) + " " +
                       std::string(grid.Cell(c, r).begin(), grid.Cell(c, r).end()));
    };
  }
  bool key(std::uint16_t k, TShiftState shift = {}, bool inEditor = false) {
    return input.keyDown(k, shift, inEditor);
  }
  std::pair<int, int> centre(std::int32_t col, std::int32_t row) const {
    const TCellRect r = cellRect(grid, col, row).value();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  TStringGrid grid;
  TGridInput input{grid};
  TStrings events;
};

TEST_F(GridInput, TypingStartsAnEditThatReplacesTheTextAfterRecordingIt) {
  grid.setCell(1, 1, L"old");
  EXPECT_EQ(input.charTyped(L'x'), TCharResult::EditReplaced);
  EXPECT_TRUE(grid.EditorMode());
  EXPECT_EQ(grid.Cell(1, 1), L"x");
  EXPECT_EQ(events, (TStrings{"record 1,1 old"}));
  EXPECT_EQ(input.charTyped(L'y'), TCharResult::PassToEditor) << "the editor takes further characters";
  EXPECT_EQ(input.charTyped(L'\t'), TCharResult::Ignored);
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(GridInput, ControlCharactersStartNoEdit) {
  for (const wchar_t ch : {L'\x03', L'\x16', L'\x1a', L'\x1b', L'\t', L'\x7f'}) {
    EXPECT_EQ(input.charTyped(ch), TCharResult::Ignored);
  }
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_TRUE(events.empty());
}

TEST_F(GridInput, EnterTogglesEditingAndEscapeEndsIt) {
  grid.setCell(1, 1, L"keep");
  EXPECT_EQ(input.charTyped(L'\r'), TCharResult::EditStarted);
  EXPECT_EQ(grid.Cell(1, 1), L"keep");
  EXPECT_EQ(input.charTyped(L'\r'), TCharResult::EditEnded);
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_TRUE(key(gridKey::kF2));
  EXPECT_TRUE(grid.EditorMode());
  EXPECT_EQ(input.charTyped(L'\x1b'), TCharResult::EditEnded);
  EXPECT_EQ(events, (TStrings{"record 1,1 keep", "record 1,1 keep"}));
}

TEST_F(GridInput, TheFormSeesEveryKeyFirstAndMaySwallowIt) {
  std::vector<std::uint16_t> seen;
  input.hooks().keyDown = [&](std::uint16_t& k, TShiftState) {
    seen.push_back(k);
    if (k == gridKey::kDown) k = 0;
  };
  EXPECT_TRUE(key(gridKey::kDown));
  EXPECT_EQ(grid.Row(), 1) << "swallowed";
  EXPECT_TRUE(key(gridKey::kRight));
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_FALSE(key(0x41));
  EXPECT_EQ(seen, (std::vector<std::uint16_t>{gridKey::kDown, gridKey::kRight, 0x41}));
}

TEST_F(GridInput, TabAndShiftTabMoveAndWrapBetweenRows) {
  grid.moveTo(5, 2);
  events.clear();
  EXPECT_TRUE(key(gridKey::kTab));
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_EQ(events, (TStrings{"select 1,3", "click"}));
  key(gridKey::kTab, {.shift = true});
  EXPECT_EQ(grid.Col(), 5);
  EXPECT_EQ(grid.Row(), 2);
  grid.moveTo(5, 29);
  events.clear();
  EXPECT_TRUE(key(gridKey::kTab)) << "the last cell keeps Tab";
  EXPECT_TRUE(events.empty());
}

TEST_F(GridInput, ArrowsMoveStopAtTheEdgesAndExtendWithShift) {
  key(gridKey::kLeft);
  key(gridKey::kUp);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_TRUE(events.empty()) << "no move past the first data cell";
  key(gridKey::kRight);
  key(gridKey::kDown, {.shift = true});
  key(gridKey::kRight, {.shift = true});
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 1, 3, 2}));
  EXPECT_EQ(grid.Anchor(), (TGridCoord{2, 1}));
}

TEST_F(GridInput, MovesScrollTheCurrentCellIntoView) {
  for (int i = 0; i < 7; ++i) key(gridKey::kDown);
  EXPECT_EQ(grid.Row(), 8);
  EXPECT_EQ(grid.TopRow(), 4);
  key(gridKey::kEnd, {.ctrl = true});
  EXPECT_EQ(grid.Row(), 29);
  EXPECT_EQ(grid.TopRow(), 25);
  key(gridKey::kPageUp);
  EXPECT_EQ(grid.Row(), 24);
  EXPECT_EQ(grid.TopRow(), 20);
}

TEST_F(GridInput, InTheEditorLeftAndRightStayWithTheCaretWhileUpDownAndTabMoveIt) {
  input.charTyped(L'a');
  EXPECT_FALSE(key(gridKey::kLeft, {}, true));
  EXPECT_FALSE(key(gridKey::kHome, {}, true));
  EXPECT_EQ(grid.Col(), 1);
  events.clear();
  grid.setCell(1, 2, L"below");
  EXPECT_TRUE(key(gridKey::kDown, {.shift = true}, true));
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 2, 1, 2})) << "no block while editing";
  EXPECT_TRUE(grid.EditorMode()) << "the editor follows";
  EXPECT_EQ(events, (TStrings{"select 1,2", "record 1,2 below", "click"}));
  EXPECT_TRUE(key(gridKey::kTab, {}, true));
  EXPECT_EQ(grid.Col(), 2);
}

TEST_F(GridInput, APressSelectsADataCellAndTheClickFollowsTheRelease) {
  const auto [x, y] = centre(3, 4);
  input.mouseDown(TMouseButton::Left, {}, x, y);
  EXPECT_EQ(events, (TStrings{"select 3,4"}));
  EXPECT_TRUE(input.mouseHeld());
  input.mouseUp(TMouseButton::Left, {}, x, y);
  EXPECT_EQ(events, (TStrings{"select 3,4", "click"}));
  EXPECT_EQ(grid.Selection(), (TGridRect{3, 4, 3, 4}));
  events.clear();
  input.mouseDown(TMouseButton::Right, {}, centre(2, 2).first, centre(2, 2).second);
  input.mouseUp(TMouseButton::Right, {}, centre(2, 2).first, centre(2, 2).second);
  EXPECT_TRUE(events.empty()) << "the right button opens the menu only";
}

TEST_F(GridInput, APressOnAnotherCellEndsTheEdit) {
  input.charTyped(L'a');
  const auto [x, y] = centre(2, 3);
  input.mouseDown(TMouseButton::Left, {}, x, y);
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(grid.Cell(1, 1), L"a");
  EXPECT_EQ(grid.Col(), 2);
}

TEST_F(GridInput, APressOnAHeaderOrABlockSetDirectlyEndsTheEdit) {
  input.charTyped(L'a');
  input.mouseDown(TMouseButton::Left, {}, centre(0, 0).first, centre(0, 0).second);
  EXPECT_FALSE(grid.EditorMode());
  input.mouseUp(TMouseButton::Left, {}, centre(0, 0).first, centre(0, 0).second);
  input.charTyped(L'b');
  grid.setSelection({1, 1}, {3, 3});
  EXPECT_FALSE(grid.EditorMode()) << "the current cell moved without the editor taking it up";
  input.charTyped(L'c');
  grid.setSelection({1, 1}, {3, 3});
  EXPECT_TRUE(grid.EditorMode()) << "the current cell stayed";
}

TEST_F(GridInput, HeaderCellsClickOnReleaseOverTheSameCell) {
  std::vector<TGridCoord> clicks;
  input.hooks().fixedCellClick = [&](std::int32_t c, std::int32_t r) { clicks.push_back({c, r}); };
  input.mouseDown(TMouseButton::Left, {}, centre(3, 0).first, centre(3, 0).second);
  input.mouseUp(TMouseButton::Left, {}, centre(3, 0).first, centre(3, 0).second);
  input.mouseDown(TMouseButton::Left, {}, centre(0, 0).first, centre(0, 0).second);
  input.mouseUp(TMouseButton::Left, {}, centre(0, 2).first, centre(0, 2).second);
  EXPECT_EQ(clicks, (std::vector<TGridCoord>{{3, 0}}));
  EXPECT_TRUE(events.empty()) << "headers are never selected by a press";
}

TEST_F(GridInput, MouseEventsReachTheFormAfterTheGridsOwnStep) {
  TStrings seen;
  input.hooks().mouseDown = [&](TMouseButton, TShiftState, int, int) {
    seen.push_back("down at " + std::to_string(grid.Col()) + "," + std::to_string(grid.Row()));
  };
  input.hooks().mouseMove = [&](TShiftState, int, int) { seen.push_back("move"); };
  input.hooks().mouseUp = [&](TMouseButton, TShiftState, int, int) { seen.push_back("up"); };
  const auto [x, y] = centre(2, 2);
  input.mouseDown(TMouseButton::Left, {}, x, y);
  input.mouseMove({}, x + 50, y);
  input.mouseUp(TMouseButton::Left, {}, x + 50, y);
  EXPECT_EQ(seen, (TStrings{"down at 2,2", "move", "up"}));
  EXPECT_EQ(events, (TStrings{"select 2,2", "click"}));
}

TEST_F(GridInput, DraggingAHeaderLineResizesTheColumnOrRow) {
  const int line = *columnLeft(grid, 2) + grid.ColWidth(2);
  EXPECT_EQ(input.cursorAt(line, 5), TGridCursor::SizeColumn);
  EXPECT_EQ(input.cursorAt(line, 30), TGridCursor::Arrow);
  input.mouseDown(TMouseButton::Left, {}, line, 5);
  input.mouseMove({}, line + 25, 60);
  EXPECT_EQ(grid.ColWidth(2), 65);
  input.mouseMove({}, line - 100, 60);
  EXPECT_EQ(grid.ColWidth(2), 4) << "never narrower than a grip";
  input.mouseUp(TMouseButton::Left, {}, line - 100, 60);
  EXPECT_FALSE(input.resizing());
  EXPECT_TRUE(events.empty()) << "a resize selects nothing";

  const int rowLine = *rowTop(grid, 3) + grid.RowHeight(3);
  EXPECT_EQ(input.cursorAt(10, rowLine), TGridCursor::SizeRow);
  input.mouseDown(TMouseButton::Left, {}, 10, rowLine);
  input.mouseMove({}, 10, rowLine + 10);
  input.mouseUp(TMouseButton::Left, {}, 10, rowLine + 10);
  EXPECT_EQ(grid.RowHeight(3), 30);
}

// Widths of 7 pixels per ASCII character and 13 for the rest.
class TCharMetrics : public TTextMetrics {
 public:
  int textWidth(const std::wstring& text) override {
    int w = 0;
    for (const wchar_t ch : text) w += ch < 0x80 ? 7 : 13;
    return w;
  }
};

TEST_F(GridInput, ADoubleClickOnAHeaderLineFitsThatColumnToItsWidestText) {
  TCharMetrics metrics;
  TGridInput fitting(grid, {}, &metrics);
  fitting.setViewSize(41 + 41 * 10, 21 + 21 * 5);
  grid.setCell(2, 3, L"EDITED");      // 42 wide
  grid.setCell(2, 29, L"一二三四");   // 52, far below the view
  grid.setCell(3, 1, L"much longer text in column 3");
  const auto doubleClickOnLine = [&](std::int32_t col, int y) {
    const int line = *columnLeft(grid, col) + grid.ColWidth(col);
    // The system sends a press, a release, then the double click and a release.
    fitting.mouseDown(TMouseButton::Left, {}, line, y);
    fitting.mouseUp(TMouseButton::Left, {}, line, y);
    fitting.mouseDown(TMouseButton::Left, {}, line, y);
    fitting.doubleClick(line, y);
    fitting.mouseMove({}, line + 30, y);
    fitting.mouseUp(TMouseButton::Left, {}, line + 30, y);
  };
  doubleClickOnLine(2, 5);
  EXPECT_EQ(grid.ColWidth(2), 52 + 10 + kMarkSize)
      << "the widest text of every row, the fill's margin and room for a pending cell's mark";
  EXPECT_EQ(grid.ColWidth(3), 40) << "its neighbour keeps its width";
  EXPECT_FALSE(fitting.resizing()) << "the drag the press began ended with the double click";
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_TRUE(events.empty()) << "a fit selects nothing";

  // Narrower too: a column wider than its texts shrinks to them; an empty
  // column keeps room for its header.
  grid.setColWidth(4, 200);
  grid.setCell(4, 0, L"4");
  doubleClickOnLine(4, 5);
  EXPECT_EQ(grid.ColWidth(4), 7 + 10 + kMarkSize);

  // Below the header row the line is no header line: the cell there is edited as before.
  const auto [x, y] = centre(2, 2);
  fitting.mouseDown(TMouseButton::Left, {}, x, y);
  fitting.mouseUp(TMouseButton::Left, {}, x, y);
  fitting.doubleClick(x, y);
  EXPECT_TRUE(grid.EditorMode());
  EXPECT_EQ(grid.ColWidth(2), 70);

  // Without metrics nothing is fitted.
  grid.setEditorMode(false);
  const int line = *columnLeft(grid, 3) + grid.ColWidth(3);
  input.doubleClick(line, 5);
  EXPECT_EQ(grid.ColWidth(3), 40);
}

// Whole notches scroll three rows; parts of a notch add up across turns.
TEST_F(GridInput, TheWheelScrollsByNotchesAndKeepsWhatIsLeftOfOne) {
  const struct {
    const char* name;
    std::vector<int> deltas;
    std::int32_t topRow;  // from row 10
  } cases[] = {
      {"a notch towards the user", {-120}, 13},
      {"a notch away", {120}, 7},
      {"two notches in one message", {-240}, 16},
      {"a third of a notch is a row", {-40}, 11},
      {"quarter notches add up", {-30, -30, -30, -30}, 13},
      {"a fine wheel's steps", {-20, -20, -20, -20, -20, -20, -20}, 13},
      {"back and forth cancels out", {-60, 60, -30}, 10},
      {"down past the last row stops there", {-1200}, 25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TGridInput fresh(grid);
    fresh.setViewSize(41 + 41 * 10, 21 + 21 * 5);
    fresh.scrollTo(1, 10);
    for (const int delta : c.deltas) fresh.mouseWheel(delta);
    EXPECT_EQ(grid.TopRow(), c.topRow);
  }
}

TEST_F(GridInput, ScrollingStaysWithinWhatFillsTheView) {
  input.scrollRows(100);
  EXPECT_EQ(grid.TopRow(), 25);
  input.scrollRows(-100);
  EXPECT_EQ(grid.TopRow(), 1);
  input.scrollCols(3);
  EXPECT_EQ(grid.LeftCol(), 1) << "every column fits";
  input.setViewSize(41 + 41 * 2, 21 + 21 * 5);
  input.scrollCols(10);
  EXPECT_EQ(grid.LeftCol(), 4);
  grid.setRowCount(4);
  input.keepInRange();
  EXPECT_EQ(grid.TopRow(), 1);
}

}  // namespace
