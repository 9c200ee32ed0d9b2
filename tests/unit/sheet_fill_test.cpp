// Filling the sheet: shape, cell search, tags, column widths, failures, and
// the fast cell search against the literal scan on random tables.
#include "sheet/sheet_fill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "fake_desktop.h"
#include "literal_fill.h"
#include "random_bounds.h"
#include "platform/errors.h"
#include "table/cell_tag.h"

namespace {

// Widths given per text; others 7 pixels a character as the fake metrics.
class TTableMetrics : public TTextMetrics {
 public:
  std::map<std::wstring, int> widths;
  int textWidth(const std::wstring& text) override {
    const auto it = widths.find(text);
    return it != widths.end() ? it->second : static_cast<int>(text.size()) * 7;
  }
};

TMrvText text(const std::wstring& s, double x, double y, const std::wstring& handle) {
  TMrvText t;
  t.base = {x, y, 0.0};
  t.sText = s;
  t.sHandle = handle;
  return t;
}

// A 3 x 2 table: columns at x 0, 20, 50, 80; rows at y 30, 20, 10.
const TDblAry kCols{0.0, 20.0, 50.0, 80.0};
const TDblAry kRows{30.0, 20.0, 10.0};
const TBounds kTable{kCols, kRows};

TEST(FillSheet, ShapeHeadersAndCells) {
  TStringGrid grid;
  TFakeTextMetrics metrics;
  const TTextAry texts{text(L"品名", 5.0, 25.0, L"1A0"), text(L"数量", 30.0, 25.0, L"1a1"),
                       text(L"ボルト", 5.0, 15.0, L"2F"), text(L"12", 60.0, 15.0, L"FFFFFFFF")};
  fillSheet(grid, texts, TBounds{{0.0, 20.0, 50.0}, {40.0, 30.0, 20.0, 10.0}}, metrics);
  ASSERT_EQ(grid.RowCount(), 4);
  ASSERT_EQ(grid.ColCount(), 3);
  EXPECT_EQ(grid.Cell(0, 0), L"");
  EXPECT_EQ(grid.Cell(0, 1), L"1");
  EXPECT_EQ(grid.Cell(0, 3), L"3");
  EXPECT_EQ(grid.Cell(1, 0), L"1");
  EXPECT_EQ(grid.Cell(2, 0), L"2");
  for (std::int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(grid.Tag(0, i), 0);
    EXPECT_EQ(grid.Tag(i, 0), 0);
  }
  // Row 1 lies between y 40 and 30: the texts at y 25 are in row 2.
  EXPECT_EQ(grid.Cell(1, 2), L"品名");
  EXPECT_EQ(grid.Tag(1, 2), 0x1A0);
  EXPECT_EQ(grid.Cell(2, 2), L"数量");
  EXPECT_EQ(grid.Tag(2, 2), 0x1A1);
  EXPECT_EQ(grid.Cell(1, 3), L"ボルト");
  EXPECT_EQ(grid.Tag(1, 3), 0x2F);
  // x 60 is right of the last column boundary: shown nowhere.
  EXPECT_EQ(grid.Cell(2, 3), L"");
  EXPECT_EQ(grid.Tag(2, 3), 0);
  EXPECT_EQ(grid.Cell(1, 1), L"");
}

TEST(FillSheet, ClearsWhatTheSheetHeldBefore) {
  TStringGrid grid;
  TFakeTextMetrics metrics;
  grid.setRowCount(10);
  grid.setCell(2, 1, L"typed");
  grid.setTag(2, 1, 77);
  fillSheet(grid, {text(L"a", 5.0, 25.0, L"10")}, kTable, metrics);
  EXPECT_EQ(grid.RowCount(), 3);
  EXPECT_EQ(grid.Cell(2, 1), L"");
  EXPECT_EQ(grid.Tag(2, 1), 0);
  EXPECT_EQ(grid.Cell(1, 1), L"a");
}

TEST(FillSheet, NothingToFillLeavesTheSheetExactlyAsItWas) {
  TFakeTextMetrics metrics;
  const TTextAry one{text(L"a", 5.0, 25.0, L"10")};
  struct TCase {
    TTextAry texts;
    TDblAry rows;
    TDblAry cols;
  };
  for (const TCase& c : {TCase{{}, kRows, kCols}, TCase{one, {30.0}, kCols}, TCase{one, kRows, {0.0}},
                         TCase{one, {}, {}}}) {
    TStringGrid grid;
    grid.setCell(3, 3, L"kept");
    grid.setTag(3, 3, 5);
    grid.setColWidth(2, 77);
    int changes = 0;
    grid.OnChange = [&changes] { ++changes; };
    fillSheet(grid, c.texts, TBounds{c.cols, c.rows}, metrics);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.Cell(3, 3), L"kept");
    EXPECT_EQ(grid.Tag(3, 3), 5);
    EXPECT_EQ(grid.ColWidth(2), 77);
    EXPECT_EQ(changes, 0);
  }
}

TEST(FillSheet, AnchorsOnBoundariesOrOutsideAreShownNowhere) {
  TStringGrid grid;
  TFakeTextMetrics metrics;
  const TTextAry texts{text(L"on x", 20.0, 25.0, L"1"),  text(L"on y", 30.0, 20.0, L"2"),
                       text(L"left", -1.0, 25.0, L"3"),  text(L"above", 30.0, 31.0, L"4"),
                       text(L"below", 30.0, 10.0, L"5"), text(L"nan", std::nan(""), 25.0, L"6"),
                       text(L"in", 20.001, 19.999, L"7")};
  fillSheet(grid, texts, kTable, metrics);
  int shown = 0;
  for (std::int32_t r = 1; r < grid.RowCount(); ++r) {
    for (std::int32_t c = 1; c < grid.ColCount(); ++c) {
      shown += grid.Cell(c, r).empty() ? 0 : 1;
    }
  }
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(grid.Cell(2, 2), L"in");
  EXPECT_EQ(grid.Tag(2, 2), 7);
}

TEST(FillSheet, LaterTextInTheSameCellWinsWithItsTag) {
  TStringGrid grid;
  TFakeTextMetrics metrics;
  fillSheet(grid, {text(L"first", 25.0, 25.0, L"A1"), text(L"second", 45.0, 22.0, L"B2")}, kTable, metrics);
  EXPECT_EQ(grid.Cell(2, 1), L"second");
  EXPECT_EQ(grid.Tag(2, 1), 0xB2);
}

TEST(FillSheet, RepaintIsAnnouncedOnceAtTheEnd) {
  TStringGrid grid;
  TFakeTextMetrics metrics;
  int changes = 0;
  grid.OnChange = [&] {
    EXPECT_FALSE(grid.updating());
    ++changes;
  };
  fillSheet(grid, {text(L"a", 5.0, 25.0, L"1"), text(L"b", 30.0, 15.0, L"2")}, kTable, metrics);
  EXPECT_EQ(changes, 1);
}

TEST(FillSheetWidths, WideningAndTheNarrowingAtTheScaleOfTheLastWidenedColumn) {
  const struct {
    const char* name;
    std::map<std::wstring, int> widths;
    TTextAry texts;
    TDblAry cols;
    std::vector<int> expected;  // columns 1, 2, ...
  } cases[] = {
      // 25 pixels + 10 = 35 < 40: not widened, so no narrowing pass either,
      // although column 2 is drawn only 1 unit wide.
      {"a narrow text neither widens nor sets the scale", {{L"short", 25}}, {text(L"short", 10.0, 25.0, L"1")},
       {0.0, 20.0, 21.0}, {40, 40}},
      // Column 1 is 50 units and its text 90 + 10 pixels: 0.5 units a pixel.
      // Column 2, 3 units wide, becomes 6 + 2 pixels.
      {"widened, then narrowed at its scale", {{L"wide", 90}}, {text(L"wide", 10.0, 25.0, L"1")},
       {0.0, 50.0, 53.0}, {100, 8}},
      // 30 + 10 = 40 equals the default: widened (to the same width), scale 1.
      // 2.5 units round to 2 pixels, 3.5 to 4, 4.5 to 4; plus 2 each; 49.5 ->
      // 50, + 2, is not below the default.
      {"an equal width counts as widening and halves round to even", {{L"x", 30}}, {text(L"x", 10.0, 25.0, L"1")},
       {0.0, 40.0, 42.5, 46.0, 50.5, 100.0}, {40, 4, 6, 6, 40}},
      // Column 1 (10 units) is widened to 50 first, then column 2 (100 units)
      // to 60: the scale is 100 / 60, at which column 1 draws as 6 + 2 pixels.
      {"the last widened column gives the scale and may narrow a widened one", {{L"one", 40}, {L"two", 50}},
       {text(L"one", 5.0, 25.0, L"1"), text(L"two", 50.0, 25.0, L"2")}, {0.0, 10.0, 110.0}, {8, 60}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TStringGrid grid;
    TTableMetrics metrics;
    metrics.widths = c.widths;
    fillSheet(grid, c.texts, TBounds{c.cols, kRows}, metrics);
    for (std::size_t k = 0; k < c.expected.size(); ++k) {
      EXPECT_EQ(grid.ColWidth(static_cast<std::int32_t>(k + 1)), c.expected[k]) << "column " << k + 1;
    }
  }
}

TEST(FillSheetWidths, ColumnsOnlyWidenAndWidthsCarryOverBetweenFills) {
  TStringGrid grid;
  TTableMetrics metrics;
  metrics.widths[L"long"] = 100;
  metrics.widths[L"mid"] = 60;
  const TDblAry cols{0.0, 200.0, 400.0};
  fillSheet(grid, {text(L"long", 5.0, 25.0, L"1"), text(L"mid", 6.0, 15.0, L"2")}, TBounds{cols, kRows}, metrics);
  EXPECT_EQ(grid.ColWidth(1), 110);
  // A second fill whose widest text is narrower keeps the width.
  fillSheet(grid, {text(L"mid", 6.0, 15.0, L"2")}, TBounds{cols, kRows}, metrics);
  EXPECT_EQ(grid.ColWidth(1), 110);
}

TEST(HandleToTag, ReadsUpToEightSignificantHexDigits) {
  EXPECT_EQ(handleToTag(L"0"), 0);
  EXPECT_EQ(handleToTag(L"1A0"), 0x1A0);
  EXPECT_EQ(handleToTag(L"abcdef"), 0xABCDEF);
  EXPECT_EQ(handleToTag(L"FFFFFFFF"), -1);
  EXPECT_EQ(handleToTag(L"80000000"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(handleToTag(L"7FFFFFFF"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(handleToTag(L"0000000012"), 0x12);  // leading zeros are not significant
}

TEST(HandleToTag, RejectsWhatIsNoHandleNamingIt) {
  for (const std::wstring bad : {L"", L"1G", L" 1A", L"1A ", L"$1A", L"-1", L"123456789", L"１２"}) {
    try {
      handleToTag(bad);
      ADD_FAILURE() << "accepted " << toUtf8(bad);
    } catch (const TConvertError& e) {
      EXPECT_NE(e.message().find(L"'" + bad + L"'"), std::wstring::npos) << toUtf8(e.message());
    }
  }
}

TEST(HandleToTag, OneHandleHowEverItIsSpelled) {
  const struct {
    const wchar_t* a;
    const wchar_t* b;
    bool same;
  } cases[] = {
      {L"2a", L"2A", true},          {L"002A", L"2a", true},
      {L"1A0", L"1A", false},        {L"0", L"0", false},  // handle 0 names no entity
      {L"00", L"0", false},          {L"", L"", false},
      {L"100000000", L"0100000000", true},  // longer than a tag, still a handle
      {L"100000000", L"0", false},   {L"x1", L"x1", true},  // no handle: the same string
      {L"x1", L"X1", false},         {L"1", L"x1", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sameHandle(c.a, c.b), c.same) << toUtf8(c.a) << " / " << toUtf8(c.b);
    EXPECT_EQ(sameHandle(c.b, c.a), c.same) << toUtf8(c.b) << " / " << toUtf8(c.a);
  }
  for (const std::int32_t tag : {0x1A0, -1, 1, std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_EQ(tagOfHandle(handleString(tag)), tag);
  }
  EXPECT_EQ(tagOfHandle(L"123456789"), std::nullopt);
  EXPECT_EQ(tagOfHandle(L"1G"), std::nullopt);
}

TEST(FillSheet, BadHandleAbortsKeepingTheCellsFilledSoFar) {
  TStringGrid grid;
  TFakeTextMetrics metrics;
  const TTextAry texts{text(L"a", 5.0, 25.0, L"10"), text(L"b", 30.0, 25.0, L"20"),
                       text(L"overwrite", 5.0, 25.0, L"XYZ"), text(L"c", 30.0, 15.0, L"30")};
  int changes = 0;
  grid.OnChange = [&changes] { ++changes; };
  try {
    fillSheet(grid, texts, kTable, metrics);
    FAIL() << "no error";
  } catch (const TConvertError& e) {
    EXPECT_NE(e.message().find(L"XYZ"), std::wstring::npos);
  }
  EXPECT_EQ(grid.Cell(1, 1), L"a");  // the bad text did not replace it
  EXPECT_EQ(grid.Tag(1, 1), 0x10);
  EXPECT_EQ(grid.Cell(2, 1), L"b");
  EXPECT_EQ(grid.Cell(2, 2), L"");   // after the bad one: not reached
  EXPECT_EQ(grid.Cell(1, 0), L"1");  // the headers were written
  EXPECT_FALSE(grid.updating());     // repainting resumed
  EXPECT_EQ(changes, 1);
}

// ---- The fast cell search against the literal scan ----------------------

void expectSameSheet(const TStringGrid& a, const TStringGrid& b, int round) {
  ASSERT_EQ(a.RowCount(), b.RowCount()) << round;
  ASSERT_EQ(a.ColCount(), b.ColCount()) << round;
  for (std::int32_t c = 0; c < a.ColCount(); ++c) {
    EXPECT_EQ(a.ColWidth(c), b.ColWidth(c)) << "round " << round << " col " << c;
    for (std::int32_t r = 0; r < a.RowCount(); ++r) {
      ASSERT_EQ(a.Cell(c, r), b.Cell(c, r)) << "round " << round << " cell " << c << "," << r;
      ASSERT_EQ(a.Tag(c, r), b.Tag(c, r)) << "round " << round << " cell " << c << "," << r;
    }
  }
}

TEST(FillSheetProperty, SameSheetAsTheLiteralScanOnRandomTables) {
  std::mt19937 rng(20250608);
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  TFakeTextMetrics metrics;
  for (int round = 0; round < 400; ++round) {
    const TBoundsShape shape = boundsShapeOfRound(round);
    const TBounds bounds{randomBoundaries(rng, shape, false, 12, 60), randomBoundaries(rng, shape, true, 12, 60)};
    TTextAry texts(static_cast<std::size_t>(uniform(0, 40)));
    for (std::size_t k = 0; k < texts.size(); ++k) {
      texts[k] = text(std::wstring(static_cast<std::size_t>(uniform(0, 9)), L'w') + std::to_wstring(k),
                      uniform(-6, 64) * 0.5, uniform(-6, 64) * 0.5, std::to_wstring(uniform(1, 99999)));
    }
    TStringGrid fast;
    TStringGrid literal;
    for (int again = 0; again < 2; ++again) {  // widths carry over: fill twice
      fillSheet(fast, texts, bounds, metrics);
      literalFill(literal, texts, bounds, metrics);
      expectSameSheet(fast, literal, round);
    }
  }
}

}  // namespace
