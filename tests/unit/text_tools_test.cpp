// Replace and input candidates: the replacement rules with and without case,
// the replace command around its dialog, gathering and sorting candidates,
// the popup's place and closing, and the write of the choice.
#include <gtest/gtest.h>

#include "sheet/grid_keys.h"
#include "sheet_form_fixture.h"
#include "text/input_list.h"
#include "text/portable_text_services.h"
#include "text/replace_text.h"

namespace {

TEST(ReplaceText, Rules) {
  const struct {
    std::wstring text, find, replacement;
    bool ignoreCase;
    std::wstring result;
  } cases[] = {
      {L"aXa", L"a", L"aa", false, L"aaXaa"},
      {L"aaa", L"aa", L"b", false, L"ba"},
      {L"a-b-c", L"-", L"", false, L"abc"},
      {L"abc", L"ABC", L"x", false, L"abc"},
      {L"abc", L"ABC", L"x", true, L"x"},
      {L"ＡＢｃ abC", L"ａｂＣ", L"全", true, L"全 abC"},
      {L"AbAB", L"ab", L"[ab]", true, L"[ab][ab]"},
      {L"ÀÉ ΣΔ ДЖ", L"àé σδ дж", L"ok", true, L"ok"},
      {L"text", L"", L"x", true, L"text"},
      {L"", L"a", L"x", false, L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(replaceText(c.text, c.find, c.replacement, c.ignoreCase), c.result)
        << toUtf8(c.text) << " / " << toUtf8(c.find) << (c.ignoreCase ? " ignoring case" : "");
  }
}

class TFakeReplaceDialog : public TnTextTikanForm {
 public:
  std::vector<std::string>& order;
  explicit TFakeReplaceDialog(std::vector<std::string>& o) : order(o) {}
  std::wstring find, replacement;
  bool ignore = true;
  std::function<bool(TFakeReplaceDialog&)> user;  // what the user does while it is shown
  void setTopmost(bool on) override { order.push_back(on ? "dialog on" : "dialog off"); }
  void setTexts(const std::wstring& f, const std::wstring& r) override {
    find = f;
    replacement = r;
  }
  std::wstring findText() override { return find; }
  std::wstring replacementText() override { return replacement; }
  bool ignoreCase() override { return ignore; }
  bool ShowModal() override {
    order.push_back("shown " + toUtf8(find) + "|" + toUtf8(replacement));
    return user ? user(*this) : false;
  }
};

class Replace : public TSheetFormFixture, public ::testing::Test {
 protected:
  std::vector<std::string> order;
  TFakeReplaceDialog dialog{order};
  Replace() {
    form.nTextTikanForm = &dialog;
    form.Window.OnSetTopmost = [this](bool on) { order.push_back(on ? "main on" : "main off"); };
    grid.setColCount(4);
    grid.setRowCount(7);
    for (int r = 1; r < 7; ++r) {
      grid.setCell(1, r, L"Abc" + std::to_wstring(r));
      grid.setCell(2, r, L"abc-ABC");
    }
    grid.setSelection({1, 2}, {2, 6});
    form.FUndoCells->setGroupCount(3);
  }
};

TEST_F(Replace, CancelChangesNothingAndGivesTheBandBack) {
  form.N21.Click();
  EXPECT_EQ(order, (std::vector<std::string>{"main off", "dialog on", "shown Abc2|Abc2", "dialog off", "main on"}));
  EXPECT_EQ(grid.Cell(1, 2), L"Abc2");
  EXPECT_EQ(form.FUndoCells->Count(), 0);
  EXPECT_EQ(form.FUndoCells->groupCount(), 3);
}

TEST_F(Replace, OkRewritesEverySelectedCellAndOneUndoRestoresThem) {
  dialog.user = [](TFakeReplaceDialog& d) {
    d.find = L"abc";
    d.replacement = L"x";
    return true;
  };
  dialog.ignore = false;
  form.N21.Click();
  EXPECT_EQ(grid.Cell(1, 2), L"Abc2");
  EXPECT_EQ(grid.Cell(2, 6), L"x-ABC");
  EXPECT_EQ(grid.Cell(2, 1), L"abc-ABC") << "outside the selection";
  EXPECT_EQ(form.FUndoCells->groupCount(), 10);
  EXPECT_EQ(order.back(), "main on");

  grid.setSelection({1, 2}, {2, 6});
  dialog.ignore = true;
  form.N21.Click();
  EXPECT_EQ(grid.Cell(1, 2), L"x2");
  EXPECT_EQ(grid.Cell(2, 6), L"x-x");
  pressKey(gridKey::kZ, {.ctrl = true});
  EXPECT_EQ(grid.Cell(1, 2), L"Abc2");
  EXPECT_EQ(grid.Cell(2, 6), L"x-ABC");
}

TEST_F(Replace, AnEmptyTopLeftCellOpensBothBoxesEmptyAndAnEmptyFindStillRecords) {
  grid.setCell(1, 2, L"");
  dialog.user = [](TFakeReplaceDialog&) { return true; };
  form.N21.Click();
  EXPECT_EQ(order[2], "shown |");
  EXPECT_EQ(form.FUndoCells->groupCount(), 10);
  EXPECT_EQ(grid.Cell(2, 2), L"abc-ABC");
}

TEST(InputCandidates, GatheredOnceEachSortedIgnoringCase) {
  TStringGrid grid;
  grid.setRowCount(11);
  const wchar_t* column[] = {L"B", L"A", L"a", L"A", L" ", L"\t", L"", L" A ", L"\x3000", L"b"};
  for (int r = 1; r <= 10; ++r) grid.setCell(2, r, column[r - 1]);
  grid.setCell(2, 0, L"header");
  std::vector<std::wstring> list = gatherCandidates(grid, 2);
  EXPECT_EQ(list, (std::vector<std::wstring>{L"B", L"A", L"a", L" A ", L"\x3000", L"b"}));
  TPortableTextServices services;
  sortCandidates(list, services);
  EXPECT_EQ(list, (std::vector<std::wstring>{L" A ", L"A", L"a", L"B", L"b", L"\x3000"}));
}

TEST(InputCandidates, PopupPlacement) {
  const struct {
    TScreenPoint reference;
    TScreenPoint expected;
  } cases[] = {
      {{500, 600}, {540, 600 - 230 - 20}},  // 40 right, above by its height and 20
      {{1800, 600}, {1920 - 304, 350}},     // right edge on the screen's edge
      {{500, 100}, {540, 0}},               // top clamped to 0
      {{1900, 10}, {1616, 0}},
      {{-300, 900}, {-260, 650}},            // nothing checks the left edge
  };
  for (const auto& c : cases) {
    EXPECT_EQ(inputListPosition(c.reference, 304, 230, 1920), c.expected) << c.reference.x << "," << c.reference.y;
  }
  TStringGrid grid;
  grid.setColCount(8);
  grid.setRowCount(30);
  grid.setColWidth(2, 70);
  grid.setLeftCol(2);
  grid.setTopRow(5);
  grid.moveTo(4, 8);
  // Columns 2 and 3 (70 + 40) and rows 5..7 (3 x 20) before the current cell.
  EXPECT_EQ(inputListReference(grid, 0, 74), (TScreenPoint{110, 74 + 60}));
  grid.moveTo(1, 2);  // left of and above the first cell in view: nothing added
  EXPECT_EQ(inputListReference(grid, 0, 74), (TScreenPoint{0, 74}));
}

TEST(InputCandidates, ClosingTable) {
  using E = TInputListEvent;
  using C = TInputListClose;
  const std::pair<E, C> table[] = {{E::SelectionChanged, C::Ok}, {E::DoubleClick, C::Ok}, {E::Enter, C::Ok},
                                   {E::Escape, C::Cancel},       {E::RightButtonDown, C::Cancel},
                                   {E::AppActivation, C::Cancel}, {E::OtherKey, C::Stay}};
  for (const auto& [event, close] : table) EXPECT_EQ(inputListClose(event), close) << static_cast<int>(event);
}

class TFakePopup : public TInputListForm {
 public:
  std::vector<std::string>& calls;
  explicit TFakePopup(std::vector<std::string>& c) : calls(c) {}
  std::vector<std::wstring> items;
  std::optional<std::wstring> choice;
  void load(const std::vector<std::wstring>& list) override { items = list; }
  int outerWidth() override { return 304; }
  int outerHeight() override { return 230; }
  void moveTo(TScreenPoint p) override { calls.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y)); }
  void setTopmost(bool on) override { calls.push_back(on ? "topmost" : "not topmost"); }
  std::optional<std::wstring> ShowModal() override {
    calls.push_back("shown");
    return choice;
  }
};

class Candidates : public TSheetFormFixture, public ::testing::Test {
 protected:
  std::vector<std::string> calls;
  TFakePopup popup{calls};
  Candidates() {
    form.InputListForm = &popup;
    form.OnSheetClientToScreen = [](TScreenPoint p) { return TScreenPoint{p.x + 1000, p.y + 100}; };
    desktop.onProcessMessages = [this] { calls.push_back("messages"); };
    grid.setColCount(5);
    grid.setRowCount(6);
    for (int r = 1; r < 6; ++r) grid.setCell(2, r, r % 2 ? L"ボルト" : L"ナット");
    grid.setSelection({4, 5}, {2, 4});  // current cell (2, 4)
    form.FUndoCells->setGroupCount(2);
  }
};

TEST_F(Candidates, TheChoiceGoesIntoEveryCellOfTheSelectionAsOneGroup) {
  popup.choice = L"ボルト";
  form.SpeedButton2.Click();
  EXPECT_EQ(popup.items, (std::vector<std::wstring>{L"ナット", L"ボルト"}));
  // Column 1 and rows 1..3 before the current cell in view: 40 and 60 pixels;
  // the popup's top would be above the screen.
  EXPECT_EQ(calls, (std::vector<std::string>{"move 1080,0", "not topmost", "messages", "topmost", "messages",
                                             "shown", "not topmost", "messages"}));
  for (int r = 4; r <= 5; ++r) {
    for (int c = 2; c <= 4; ++c) EXPECT_EQ(grid.Cell(c, r), L"ボルト");
  }
  EXPECT_EQ(form.FUndoCells->groupCount(), 6);
  form.SpeedButton1.Click();
  EXPECT_EQ(grid.Cell(2, 4), L"ナット");
  EXPECT_EQ(grid.Cell(3, 5), L"");
}

TEST_F(Candidates, NoChoiceOrNoCandidatesChangeNothing) {
  form.N26.Click();  // the popup closed without a choice
  EXPECT_EQ(calls[5], "shown");
  EXPECT_EQ(form.FUndoCells->Count(), 0);
  EXPECT_EQ(form.FUndoCells->groupCount(), 2);
  calls.clear();
  grid.setSelection({3, 1}, {3, 1});  // a column of empty cells
  popup.choice = L"x";
  form.N26.Click();
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(grid.Cell(3, 1), L"");
}

}  // namespace
