// "Excelから取込" against the fake Excel over an acquired table: only real
// changes come back, as one undo group, without a call to the CAD; every
// failure leaves the sheet and its history as they were, with one log line.
// Also the option that makes "Excelへ" assign text.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "export/excel_value.h"
#include "fake_excel.h"
#include "sheet/grid_keys.h"
#include "writeback_fixture.h"

namespace {

using TCells = std::vector<std::wstring>;  // the data cells, row after row

class ExcelImport : public TWritebackTest {
 protected:
  TFakeExcel excel;

  void SetUp() override {
    TWritebackTest::SetUp();
    form->ports().excel = &excel;
    acquire();
    // A zero-padded part number typed before the export: Excel made 12 of it.
    set(2, 4, L"0012");
  }
  // What Excel holds after the export, as it gives it back: the sheet's texts
  // as strings, but 12 for "0012".
  TExcelValues exported() {
    TExcelValues v(kRows, kCols);
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        const std::wstring& text = grid().Cell(c, r);
        if (!text.empty()) v.at(r, c) = TExcelValue::string(text);
      }
    }
    v.at(4, 2) = TExcelValue::numeric(12);
    return v;
  }
  TCells cells() {
    TCells out;
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) out.push_back(grid().Cell(c, r));
    }
    return out;
  }
  std::map<std::pair<int, int>, TPending> marks() {
    std::map<std::pair<int, int>, TPending> out;
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        const TPending k = form->table().pending.kindOf(c, r);
        if (k != TPending::None) out[{c, r}] = k;
      }
    }
    return out;
  }
  void press() {
    form->ExcelIn1.Click();
  }
};

TEST_F(ExcelImport, OnlyTheRealChangesComeBackAsOneUndoGroup) {
  EXPECT_FALSE(TMorvaneForm(TMorvanePorts{desktop, cad, metrics}).ExcelIn1.Enabled());
  EXPECT_TRUE(form->ExcelIn1.Enabled()) << "enabled by Acquire, as Excelへ is";
  const auto items = form->popupMenuItems();
  const auto csv = std::find(items.begin(), items.end(), &form->CSV1);
  ASSERT_LE(csv + 2, items.end() - 1);
  EXPECT_EQ(csv[1], &form->ExcelIn1);
  EXPECT_EQ(csv[2], &form->ExcelText1);

  excel.values = exported();
  excel.values.at(1, 1) = TExcelValue::string(L"新");
  excel.values.at(2, 2) = TExcelValue::numeric(12.5);
  excel.values.at(3, 3) = TExcelValue::date(46366.0);  // column 3 has no texts
  const TCells before = cells();
  const auto marksBefore = marks();
  const std::int32_t undoBefore = form->FUndoCells->Count();

  press();
  EXPECT_EQ(excel.calls, (std::vector<std::string>{"activeExcel", "ActiveSheet", "Range A1 C4", "Value get",
                                                   "release Range", "release Sheet", "release Application"}));
  EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{L"[Excelから取込] 変更 = 3"}));
  EXPECT_TRUE(cad.calls.empty());
  EXPECT_EQ(grid().Cell(1, 1), L"新");
  EXPECT_EQ(grid().Cell(2, 2), L"12.5");
  EXPECT_EQ(grid().Cell(3, 3), L"2026/12/10");
  EXPECT_EQ(grid().Cell(2, 4), L"0012");
  EXPECT_EQ(form->FUndoCells->Count(), undoBefore + 3);
  auto expectedMarks = marksBefore;
  expectedMarks[{1, 1}] = TPending::Edit;
  expectedMarks[{2, 2}] = TPending::Edit;
  expectedMarks[{3, 3}] = form->table().pending.kindOf(3, 3);
  ASSERT_NE((expectedMarks[{3, 3}]), TPending::None);
  EXPECT_EQ(marks(), expectedMarks);

  // One Ctrl+Z takes all three back, and only them.
  std::uint16_t key = gridKey::kZ;
  form->StringGrid1KeyDown(key, {.ctrl = true});
  EXPECT_EQ(cells(), before);
  EXPECT_EQ(marks(), marksBefore);

  // Read again with nothing changed in Excel since: nothing to write, no group.
  excel.values = exported();
  form->Memo1.clear();
  const std::int32_t countBefore = form->FUndoCells->Count();
  press();
  EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{L"[Excelから取込] 変更 = 0"}));
  EXPECT_EQ(form->FUndoCells->Count(), countBefore);
  EXPECT_EQ(excel.alive, 0);
}

TEST_F(ExcelImport, EveryFailureLeavesTheSheetAndItsHistoryWithOneLogLine) {
  const struct {
    const char* failAt;
    int rows, cols;  // of the reply
    const wchar_t* line;
  } cases[] = {
      {"activeExcel", kRows, kCols, L"[Excelから取込] Excel が見つかりません"},
      {"ActiveSheet", kRows, kCols, L"[Excelから取込] Excel でブックが開かれていません"},
      {"Range", kRows, kCols, L"[Excelから取込] 読み取れませんでした: bad range"},
      {"Value get", kRows, kCols, L"[Excelから取込] 読み取れませんでした: fails: Value get"},
      {"", kRows - 1, kCols, L"[Excelから取込] Excel の応答が範囲の大きさと違います: 3x3, 範囲 = 4x3"},
      {"", kRows, kCols + 1, L"[Excelから取込] Excel の応答が範囲の大きさと違います: 4x4, 範囲 = 4x3"},
  };
  // A first command leaves a group of 2 to undo, which no failure may change.
  {
    const TUndoCells::TGroup group = form->FUndoCells->beginGroup();
    form->FUndoCells->Add(grid(), 1, 2);
    form->FUndoCells->Add(grid(), 1, 3);
  }
  const TCells before = cells();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    excel.failAt = c.failAt;
    excel.values = TExcelValues(c.rows, c.cols);  // empty values: every cell would change
    form->Memo1.clear();
    press();
    EXPECT_EQ(form->Memo1.Lines(), (std::vector<std::wstring>{c.line}));
    EXPECT_EQ(cells(), before);
    EXPECT_EQ(form->FUndoCells->Count(), 2);
    EXPECT_EQ(form->FUndoCells->groupCount(), 2);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(cad.calls.empty());
    EXPECT_EQ(excel.alive, 0);
  }

  // A sheet without data cells asks Excel nothing and says nothing.
  excel.calls.clear();
  form->Memo1.clear();
  grid().setRowCount(1);
  press();
  EXPECT_TRUE(excel.calls.empty());
  EXPECT_TRUE(form->Memo1.Lines().empty());
}

TEST_F(ExcelImport, TheTextOptionMakesTheRangeTextBeforeTheValuesAndOnlyThen) {
  const std::vector<std::string> plain{"activeExcel", "ActiveSheet", "Range A1 C4", "Value 4x3",
                                       "release Range", "release Sheet", "release Application"};
  form->Button3.Click();
  EXPECT_EQ(excel.calls, plain);
  EXPECT_FALSE(excel.numberFormat.has_value());

  form->ExcelText1.Click();
  ASSERT_TRUE(form->ExcelText1.Checked());
  excel.calls.clear();
  form->Button3.Click();
  EXPECT_EQ(excel.calls, (std::vector<std::string>{"activeExcel", "ActiveSheet", "Range A1 C4", "NumberFormat @",
                                                   "Value 4x3", "release Range", "release Sheet",
                                                   "release Application"}));
  ASSERT_TRUE(excel.assigned.has_value());
  EXPECT_EQ(excel.assigned->at(4, 2), L"0012");

  form->ExcelText1.Click();
  excel.calls.clear();
  form->Button3.Click();
  EXPECT_EQ(excel.calls, plain);
}

}  // namespace
