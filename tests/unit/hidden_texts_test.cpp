// The texts the sheet does not show: why the fill leaves each out, the log
// line and the list, and the form around them (the mark of a cell holding
// more than one text, the menu item, Locate of the entry chosen).
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <limits>

#include "app/pending_look.h"
#include "table/hidden_texts.h"
#include "sheet/sheet_fill.h"
#include "writeback_fixture.h"

namespace {

TMrvText at(const std::wstring& s, double x, double y, const std::wstring& handle) {
  TMrvText t;
  t.base = {x, y, 0.0};
  t.sText = s;
  t.sHandle = handle;
  return t;
}

// A 3 x 2 table: columns at x 0, 20, 50, 80; rows at y 30, 20, 10.
const TDblAry kTableRows{30.0, 20.0, 10.0};
const TBounds kTable{{0.0, 20.0, 50.0, 80.0}, kTableRows};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(HiddenTexts, EachTextTheFillLeavesOutWithItsReasonInListOrder) {
  const struct {
    const wchar_t* text;
    double x, y;
    bool shown;
    THiddenReason reason;
  } cases[] = {
      {L"inside", 5.0, 25.0, true, {}},
      {L"column line", 20.0, 25.0, false, THiddenReason::OnRuling},
      {L"row line", 30.0, 20.0, false, THiddenReason::OnRuling},
      {L"left edge", 0.0, 15.0, false, THiddenReason::OnRuling},
      {L"far corner", 80.0, 10.0, false, THiddenReason::OnRuling},
      {L"left of it", -0.5, 25.0, false, THiddenReason::Outside},
      {L"above it", 5.0, 30.5, false, THiddenReason::Outside},
      {L"a line's extension", 20.0, 31.0, false, THiddenReason::Outside},
      {L"no number", kNaN, 25.0, false, THiddenReason::Outside},
      {L"first of three", 30.0, 25.0, false, THiddenReason::Covered},
      {L"second of three", 40.0, 25.0, false, THiddenReason::Covered},
      {L"last of three", 45.0, 22.0, true, {}},
      {L"alone below", 45.0, 12.0, true, {}},
  };
  TTextAry texts;
  for (const auto& c : cases) texts.push_back(at(c.text, c.x, c.y, std::to_wstring(texts.size() + 1)));
  TStringGrid grid;
  TFakeTextMetrics metrics;
  const THiddenTexts hidden = fillSheet(grid, texts, kTable, metrics);

  std::size_t k = 0;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    if (cases[i].shown) continue;
    SCOPED_TRACE(cases[i].text);
    ASSERT_LT(k, hidden.size());
    const THiddenText& h = hidden.entries()[k++];
    EXPECT_EQ(h.text.sText, cases[i].text);
    EXPECT_EQ(h.index, i);
    EXPECT_EQ(h.reason, cases[i].reason);
    if (h.reason == THiddenReason::Covered) {
      EXPECT_EQ(h.col, 2);
      EXPECT_EQ(h.row, 1);
      EXPECT_EQ(h.shownText, L"last of three");
    }
  }
  EXPECT_EQ(k, hidden.size());
  EXPECT_EQ(hidden.count(THiddenReason::OnRuling), 4u);
  EXPECT_EQ(hidden.count(THiddenReason::Outside), 4u);
  EXPECT_EQ(hidden.count(THiddenReason::Covered), 2u);
  // The cell the three fell into is crowded; one text alone is not.
  EXPECT_EQ(grid.Cell(2, 1), L"last of three");
  EXPECT_TRUE(hidden.crowded(2, 1));
  EXPECT_FALSE(hidden.crowded(1, 1));
  EXPECT_FALSE(hidden.crowded(2, 2));

  // With no table to fill the sheet stays as it was and every text is outside.
  const TTextAry two{at(L"a", 5.0, 25.0, L"1"), at(L"b", 30.0, 25.0, L"2")};
  const THiddenTexts none = fillSheet(grid, two, TBounds{{0.0}, kTableRows}, metrics);
  EXPECT_EQ(grid.Cell(2, 1), L"last of three");
  ASSERT_EQ(none.size(), 2u);
  EXPECT_EQ(none.count(THiddenReason::Outside), 2u);
  EXPECT_TRUE(fillSheet(grid, {}, kTable, metrics).empty());
}

TEST(HiddenTexts, TheLogLineCountsTheReasonsThatOccurAndNamesTheFirstThreeShortened) {
  TStringGrid grid;
  TFakeTextMetrics metrics;
  const TTextAry onLines{at(L"Poz.", 0.0, 25.0, L"1"), at(L"Del. operacija", 20.0, 25.0, L"2"),
                         at(L"Pripomočki", 50.0, 25.0, L"3"), at(L"Zaščita", 80.0, 25.0, L"4")};
  EXPECT_EQ(hiddenLogLine(fillSheet(grid, onLines, kTable, metrics)),
            L"表示されない文字 = 4 (罫線上 = 4): 「Poz.」「Del. oper…」「Pripomočki」 ほか 1");

  const TTextAry mixed{at(L"旧", 5.0, 25.0, L"1"), at(L"新", 6.0, 25.0, L"2"), at(L"外", 90.0, 25.0, L"3")};
  const THiddenTexts hidden = fillSheet(grid, mixed, kTable, metrics);
  EXPECT_EQ(hiddenLogLine(hidden), L"表示されない文字 = 2 (表の外 = 1, 同じセルの後の文字に隠れる = 1): 「旧」「外」");
  EXPECT_EQ(hiddenListLines(hidden), (std::vector<std::wstring>{L"【同じセルの後の文字に隠れる】「旧」 (列 1・行 1 は「新」)",
                                                                L"【表の外】「外」"}));
  EXPECT_EQ(hiddenLogLine(THiddenTexts()), L"");
  // A character outside the basic plane is never cut in half.
  // (Code units spelt out: wchar_t is 16 bits on Windows, 32 on Linux.)
  EXPECT_EQ(shortenText(L"12345678\xD842\xDFB7x", 10), L"12345678…");
  EXPECT_EQ(shortenText(L"1234567\xD842\xDFB7xy", 10), L"1234567\xD842\xDFB7…");
  EXPECT_EQ(shortenText(L"exactly 10", 10), L"exactly 10");
}

constexpr TWnd kBar = 0x4001;
constexpr TWnd kView = 0x4002;

// The list window as the command uses it: what it was given, and the entry
// the user chooses (none: closed without choosing).
class TFakeHiddenList : public THiddenListForm {
 public:
  std::vector<std::wstring> lines;
  std::optional<std::size_t> choice;
  int shown = 0;
  void load(const std::vector<std::wstring>& l) override { lines = l; }
  std::optional<std::size_t> ShowModal() override {
    ++shown;
    return choice;
  }
};

class HiddenTextsForm : public TWritebackTest {
 protected:
  void SetUp() override {
    TWritebackTest::SetUp();
    form->HiddenListForm = &list;
    cad.doc().name = L"a.dxf";
    cad.doc().fullName = L"C:\\work\\a.dxf";
  }
  // The table, with a text on the line between columns 1 and 2, one above
  // the table and one in cell 1/2 that the table's own "r2c1" hides.
  void acquireWithHidden() {
    cad.addText(L"on the line", {kCellW, kTop - 15.0, 0.0});
    cad.addText(L"above", {5.0, kTop + 4.0, 0.0});
    cad.addText(L"old r2c1", {3.0, kTop - 16.0, 0.0});
    acquire();
    const TWnd document = static_cast<TWnd>(cad.doc().drawingWindow);
    desktop.places[document] = {{100, 80, 1100, 740}, kBar, 0};
    desktop.places[kBar] = {{100, 100, 1100, 120}, 0, kView};
    desktop.places[kView] = {{100, 120, 1100, 740}, 0, 0};
    cad.doc().viewSize = 100.0;
  }
  bool leftMark(int c, int r) { return form->StringGrid1DrawCell(c, r, {40, 20, 100, 40}, {}).leftMark; }
  TFakeHiddenList list;
};

// One user's story: the Acquire's log names the three texts, the cell of two
// texts is marked beside an edit's mark, the list shows each with its
// reason, and the entry chosen is located with or without the arrowhead, but
// never in another drawing; an Acquire that shows every text ends it all.
TEST_F(HiddenTextsForm, ListedMarkedAndLocatedUntilAnAcquireShowsEveryText) {
  acquireWithHidden();
  form->Button1.Click();  // once more, to look at the log this Acquire leaves
  const std::vector<std::wstring> log = form->Memo1.Lines();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], L"Yoko = 5, Tate = 4");
  EXPECT_EQ(log.back(), L"表示されない文字 = 3 (罫線上 = 1, 表の外 = 1, 同じセルの後の文字に隠れる = 1): "
                        L"「on the li…」「above」「old r2c1」");
  EXPECT_TRUE(form->N27.Enabled());
  const auto items = form->popupMenuItems();
  const auto n27 = std::find(items.begin(), items.end(), &form->N27);
  ASSERT_LE(n27 + 3, items.end());
  EXPECT_EQ(n27[2], &form->N24);
  EXPECT_EQ(form->N27.Caption(), L"表示されない文字…");

  // The crowded cell keeps its own mark beside an edit's; no other cell has one.
  set(1, 2, L"edited");
  const TCellLook look = form->StringGrid1DrawCell(1, 2, {40, 20, 100, 40}, {});
  EXPECT_TRUE(look.leftMark);
  EXPECT_EQ(look.leftMarkColor, kMarkCrowded);
  EXPECT_TRUE(look.mark);
  EXPECT_EQ(look.markColor, kMarkEdit);
  for (int r = 0; r <= kRows; ++r) {
    for (int c = 0; c <= kCols; ++c) {
      if (c != 1 || r != 2) {
        EXPECT_FALSE(leftMark(c, r)) << c << "," << r;
      }
    }
  }

  // Cancelled: nothing happens in the CAD.
  form->N27.Click();
  EXPECT_EQ(list.shown, 1);
  EXPECT_EQ(list.lines, (std::vector<std::wstring>{L"【罫線上】「on the line」", L"【表の外】「above」",
                                                   L"【同じセルの後の文字に隠れる】「old r2c1」 (列 1・行 2 は「r2c1」)"}));
  EXPECT_FALSE(cad.lastZoom.has_value());

  // Chosen: the view is centred on its anchor, the arrowhead only with "矢印描画".
  const struct {
    std::size_t entry;
    bool arrow;
    double x, y;
  } choices[] = {{1, true, 5.0, kTop + 4.0}, {2, false, 3.0, kTop - 16.0}};
  for (const auto& c : choices) {
    SCOPED_TRACE(c.entry);
    form->CheckBox6.setChecked(c.arrow);
    cad.lastZoom.reset();
    desktop.screenLines.clear();
    list.choice = c.entry;
    form->N27.Click();
    ASSERT_TRUE(cad.lastZoom.has_value());
    EXPECT_DOUBLE_EQ((cad.lastZoom->first[0] + cad.lastZoom->second[0]) / 2.0, c.x);
    EXPECT_DOUBLE_EQ((cad.lastZoom->first[1] + cad.lastZoom->second[1]) / 2.0, c.y);
    EXPECT_EQ(desktop.screenLines.size(), c.arrow ? 1u : 0u);
    const TTableState& table = form->table();
    EXPECT_EQ(form->StatusBar1.Panel(0), L" Handle = " + table.TextAry[table.hidden.entries()[c.entry].index].sHandle);
  }

  // Another drawing active: the list still shows, the CAD is left alone.
  TFakeDocumentData other = cad.documents.at(0);
  other.name = L"b.dxf";
  other.fullName = L"C:\\work\\b.dxf";
  cad.documents.push_back(other);
  cad.activeDocument = 1;
  cad.lastZoom.reset();
  form->N27.Click();
  EXPECT_EQ(list.shown, 4);
  EXPECT_FALSE(cad.lastZoom.has_value());
  cad.activeDocument = 0;

  // Every text shown: no line, the item greyed, no mark left.
  for (TFakeEntity& e : cad.doc().entities) {
    if (e.isText() && (e.text == L"on the line" || e.text == L"above" || e.text == L"old r2c1")) e.erased = true;
  }
  form->Button1.Click();
  EXPECT_EQ(form->Memo1.Lines().back(), L"Yoko = 5, Tate = 4");
  EXPECT_FALSE(form->N27.Enabled());
  EXPECT_FALSE(leftMark(1, 2));
  form->N27.Click();
  EXPECT_EQ(list.shown, 4);
}

}  // namespace
