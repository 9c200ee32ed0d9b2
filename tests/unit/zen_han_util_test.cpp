// The ten width conversions: the tables' shape, the examples that catch a
// wrong row order or a missing row, the one-pass conversions against the
// passes in table order, and the command over the selection.
#include <gtest/gtest.h>

#include <random>

#include "literal_zen_han.h"
#include "sheet/grid_keys.h"
#include "sheet_form_fixture.h"
#include "text/convert_block.h"
#include "text/portable_text_services.h"

namespace {

using namespace zenHanUtil;
using TConversion = void (*)(std::wstring&);

struct TTableConversion {
  TConversion convert;
  const TPairTable& table;
  bool toZen;
};

const TTableConversion kTableConversions[] = {
    {hanKanaToZen, kanaTable(), true},  {hanNumToZen, numTable(), true},   {hanAlphaToZen, alphaTable(), true},
    {hanSymToZen, symTable(), true},    {zenKanaToHan, kanaTable(), false}, {zenNumToHan, numTable(), false},
    {zenAlphaToHan, alphaTable(), false}, {zenSymToHan, symTable(), false}};

std::wstring converted(TConversion convert, std::wstring text) {
  convert(text);
  return text;
}

TEST(ZenHanUtil, TablesHaveTheirRowsInOrder) {
  EXPECT_EQ(kanaTable().zen.size(), 84u);
  EXPECT_EQ(numTable().han.size(), 10u);
  EXPECT_EQ(alphaTable().zen.size(), 52u);
  EXPECT_EQ(symTable().han.size(), 33u);
  EXPECT_EQ(std::wstring(kanaTable().han[0]), L"ｳﾞ");
  EXPECT_EQ(std::wstring(kanaTable().han[25]), L"ﾎﾟ");
  EXPECT_EQ(std::wstring(kanaTable().zen[26]), L"ヲ");
  EXPECT_EQ(std::wstring(kanaTable().zen[83]), L"」");
  EXPECT_EQ(std::wstring(symTable().zen[7]), L"\x3000");
  EXPECT_EQ(std::wstring(symTable().han[32]), L"\\");
  EXPECT_EQ(std::wstring(alphaTable().zen[26]), L"ａ");
}

TEST(ZenHanUtil, TableConversionExamples) {
  const struct {
    TConversion convert;
    std::wstring in;
    std::wstring out;
  } cases[] = {
      {hanKanaToZen, L"ｶﾞｷﾞ", L"ガギ"},
      {hanKanaToZen, L"ｳﾞ", L"ヴ"},
      {hanKanaToZen, L"ﾊﾟ", L"パ"},
      {hanKanaToZen, L"ﾜﾞ", L"ワﾞ"},
      {hanKanaToZen, L"ｱｲｳ｡", L"アイウ｡"},
      {hanKanaToZen, L"ﾞｶﾟ", L"ﾞカﾟ"},
      {zenKanaToHan, L"ガギ", L"ｶﾞｷﾞ"},
      {zenKanaToHan, L"「ア」", L"｢ｱ｣"},
      {zenKanaToHan, L"ヶヰ・。", L"ヶヰ・。"},
      {hanSymToZen, L"\\\"'` ", L"\xFFE5\x201D\x2019\x2018\x3000"},
      {zenSymToHan, L"\xFF02\xFF07\xFF3C\xFF40", L"\xFF02\xFF07\xFF3C\xFF40"},
      {zenSymToHan, L"\xFFE5（１）", L"\\(１)"},
      {zenNumToHan, L"１２．５", L"12．5"},
      {zenAlphaToHan, L"Ａｂ", L"Ab"},
      {hanAlphaToZen, L"Ab", L"Ａｂ"},
      {hanNumToZen, L"ｶ1A", L"ｶ１A"},
      {hanSymToZen, L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(converted(c.convert, c.in), c.out) << "from " << toUtf8(c.in);
  }
}

TEST(ZenHanUtil, OnePassGivesWhatThePassesInTableOrderGive) {
  // Texts drawn from every table's both sides, the marks alone and a few
  // characters of no table.
  std::vector<std::wstring> pieces = {L"ﾞ", L"ﾟ", L"｡", L"ヶ", L"x", L"漢", L"\x3000", L"\\"};
  for (const TTableConversion& c : kTableConversions) {
    for (std::size_t i = 0; i < c.table.zen.size(); ++i) {
      pieces.push_back(c.table.zen[i]);
      pieces.push_back(c.table.han[i]);
    }
  }
  std::mt19937 random(9);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  for (int n = 0; n < 200; ++n) {
    std::wstring text;
    for (int k = n % 9; k >= 0; --k) text += pieces[pick(random)];
    for (const TTableConversion& c : kTableConversions) {
      std::wstring expected = text;
      literalTableConversion(expected, c.table, c.toZen);
      ASSERT_EQ(converted(c.convert, text), expected) << toUtf8(text);
    }
  }
}

TEST(PortableWidthMapping, WholeTextExamples) {
  TPortableTextServices services;
  std::wstring text = L"ｶﾞｷﾞ ﾊﾟ ﾜﾞ Ab1\\";
  hanToZen(text, services);
  EXPECT_EQ(text, L"ガギ\x3000パ\x3000ヷ\x3000Ａｂ１\\");
  zenToHan(text, services);
  EXPECT_EQ(text, L"ｶﾞｷﾞ ﾊﾟ ﾜﾞ Ab1\\");
  EXPECT_EQ(services.toFullWidth(L"カﾞｱﾞ"), L"カ\x3099ア\x3099");
  EXPECT_EQ(services.toHalfWidth(L"ガギ\x3000パヴ「ア」１２．５\xFFE5\x201D"), L"ｶﾞｷﾞ ﾊﾟｳﾞ｢ｱ｣12.5\xA5\"");
}

class Conversion : public TSheetFormFixture, public ::testing::Test {
 protected:
  Conversion() {
    grid.setColCount(6);
    grid.setRowCount(7);
    grid.setCell(1, 1, L"ｶﾞ");
    grid.setCell(2, 2, L"１２");
    grid.setCell(3, 4, L"Ａ");
    grid.setCell(5, 6, L"ｱ");  // outside the selection
  }
};

TEST_F(Conversion, EveryItemConvertsEverySelectedCellAndOneUndoRevertsThem) {
  const struct {
    TMenuItem* item;
    std::wstring a, b, c;
  } cases[] = {
      {&form.N8, L"ｶﾞ", L"12", L"A"},      {&form.N9, L"ガ", L"１２", L"Ａ"},  {&form.N11, L"ガ", L"１２", L"Ａ"},
      {&form.N12, L"ｶﾞ", L"１２", L"Ａ"},  {&form.N13, L"ｶﾞ", L"１２", L"Ａ"}, {&form.N14, L"ｶﾞ", L"１２", L"Ａ"},
      {&form.N16, L"ｶﾞ", L"１２", L"Ａ"},  {&form.N17, L"ｶﾞ", L"12", L"Ａ"},  {&form.N18, L"ｶﾞ", L"１２", L"A"},
      {&form.N19, L"ｶﾞ", L"１２", L"Ａ"},
  };
  // A slow clock: a table conversion lets messages through at every cell,
  // the two whole-text conversions never.
  desktop.tickStep = kConvertPumpInterval;
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.item->Caption()));
    form.FUndoCells->setGroupCount(99);
    grid.setSelection({1, 1}, {3, 4});
    desktop.calls.clear();
    c.item->Click();
    const bool wholeText = c.item == &form.N8 || c.item == &form.N9;
    EXPECT_EQ(desktop.countOf("processMessages"), wholeText ? 0 : 12);
    EXPECT_EQ(grid.Cell(1, 1), c.a);
    EXPECT_EQ(grid.Cell(2, 2), c.b);
    EXPECT_EQ(grid.Cell(3, 4), c.c);
    EXPECT_EQ(grid.Cell(5, 6), L"ｱ");
    EXPECT_EQ(form.FUndoCells->groupCount(), 12) << "3 columns by 4 rows, empty cells included";
    pressKey(gridKey::kZ, {.ctrl = true});
    EXPECT_EQ(grid.Cell(1, 1), L"ｶﾞ");
    EXPECT_EQ(grid.Cell(2, 2), L"１２");
    EXPECT_EQ(grid.Cell(3, 4), L"Ａ");
  }
  EXPECT_EQ(form.FUndoCells->Count(), 0);
}

TEST(ConvertBlock, LetsMessagesRunByTimeNotPerRowOfTheTable) {
  TStringGrid grid;
  grid.setRowCount(400);
  TUndoCells undo;
  TFakeDesktop desktop;
  int turns = 0;
  desktop.onProcessMessages = [&] { ++turns; };
  // Each cell takes 10 ms here: the window gets a turn every fifth cell.
  const std::function<void(std::wstring&)> slow = [&desktop](std::wstring& t) {
    desktop.ticks += 10;
    hanKanaToZen(t);
  };
  EXPECT_EQ(convertBlock(grid, undo, {1, 1, 4, 399}, slow, desktop), 4 * 399);
  EXPECT_EQ(turns, 4 * 399 / 5);
}

}  // namespace
