// "Excelへ": the cell names, the transfer array, and the export's calls,
// their order and arguments, against a fake Excel; failures end it silently
// with every reference dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/morvane_form.h"
#include "export/excel_export.h"
#include "export/transfer_array.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "fake_excel.h"

namespace {

TEST(ExcelCellName, ColumnLettersAcrossEveryCarryUpToTheLastColumn) {
  const struct {
    std::int32_t row, col;
    const wchar_t* name;
  } cases[] = {{1, 1, L"A1"},     {3, 26, L"Z3"},     {1, 27, L"AA1"},       {10, 52, L"AZ10"},
               {7, 53, L"BA7"},   {1, 702, L"ZZ1"},   {1, 703, L"AAA1"},     {1048576, 16384, L"XFD1048576"}};
  for (const auto& c : cases) {
    EXPECT_EQ(excelCellName(c.row, c.col), c.name) << "row " << c.row << " col " << c.col;
  }
}

// A sheet of rows x cols including the header row and column, data cell
// (c, r) holding "r,c" and the headers "h".
void fillSheet(TStringGrid& grid, std::int32_t rows, std::int32_t cols) {
  grid.setRowCount(rows);
  grid.setColCount(cols);
  for (std::int32_t r = 0; r < rows; ++r) {
    for (std::int32_t c = 0; c < cols; ++c) {
      grid.setCell(c, r, r == 0 || c == 0 ? L"h" : std::to_wstring(r) + L"," + std::to_wstring(c));
    }
  }
}

TEST(TransferArray, FirstIndexIsTheSheetRowWithoutTheHeaders) {
  TStringGrid grid;
  fillSheet(grid, 4, 3);  // 3 data rows, 2 data columns
  grid.setCell(2, 3, L"");
  grid.setCell(1, 2, L"０１２ 部品");
  const TTransferArray a = transferArray(grid);
  ASSERT_EQ(a.rows(), 3);
  ASSERT_EQ(a.cols(), 2);
  EXPECT_EQ(a.at(1, 1), L"1,1");
  EXPECT_EQ(a.at(1, 2), L"1,2");
  EXPECT_EQ(a.at(2, 1), L"０１２ 部品");
  EXPECT_EQ(a.at(3, 1), L"3,1");
  EXPECT_EQ(a.at(3, 2), L"");
  EXPECT_THROW(a.at(0, 1), std::out_of_range);
  EXPECT_THROW(a.at(1, 3), std::out_of_range);
}

class ExcelExport : public ::testing::Test {
 protected:
  TFakeDesktop desktop;
  TFakeCad cad;
  TFakeTextMetrics metrics;
  TFakeExcel excel;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics, nullptr, &excel}};

  void press() {
    form.Button3.setEnabled(true);
    form.Button3.Click();
  }
  // No box and no log line; the status bar says nothing but, in the panel
  // for quiet endings, `why`.
  void expectNothingShown(const std::wstring& why = L"") {
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(form.Memo1.Lines().empty());
    for (int i = 0; i < TStatusBar::kPanels; ++i) {
      EXPECT_EQ(form.StatusBar1.Panel(i), i == kEndingPanel ? why : L"") << "panel " << i;
    }
    EXPECT_EQ(excel.alive, 0) << "a reference to Excel is still held";
  }
};

TEST_F(ExcelExport, OneAssignmentOfTheDataCellsFromA1ToTheLastCell) {
  fillSheet(form.StringGrid1, 4, 28);  // 3 data rows, 27 data columns
  press();
  EXPECT_EQ(excel.calls, (std::vector<std::string>{"activeExcel", "ActiveSheet", "Range A1 AA3", "Value 3x27",
                                                   "release Range", "release Sheet", "release Application"}));
  ASSERT_TRUE(excel.assigned.has_value());
  EXPECT_EQ(excel.assigned->at(3, 27), L"3,27");
  EXPECT_EQ(excel.assigned->at(1, 1), L"1,1");
  expectNothingShown();
}

TEST_F(ExcelExport, EveryFailureEndsItWithoutABoxOrLogLineAndReleasesWhatWasObtained) {
  const struct {
    const char* failAt;
    std::vector<std::string> calls;
    std::wstring why;
  } cases[] = {
      {"activeExcel", {"activeExcel"}, L"Excel が見つかりません"},
      {"ActiveSheet", {"activeExcel", "ActiveSheet", "release Application"}, L"Excel でブックが開かれていません"},
      {"Range", {"activeExcel", "ActiveSheet", "Range A1 B3", "release Sheet", "release Application"}, L""},
      {"Value",
       {"activeExcel", "ActiveSheet", "Range A1 B3", "Value 3x2", "release Range", "release Sheet",
        "release Application"},
       L""},
  };
  fillSheet(form.StringGrid1, 4, 3);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failAt);
    excel.calls.clear();
    excel.failAt = c.failAt;
    press();
    EXPECT_EQ(excel.calls, c.calls);
    EXPECT_FALSE(excel.assigned.has_value());
    expectNothingShown(c.why);
  }
  // Once Excel takes the data again, the next press exports and the panel is emptied.
  excel.failAt = "activeExcel";
  press();
  ASSERT_EQ(form.StatusBar1.Panel(kEndingPanel), L"Excel が見つかりません");
  excel.failAt.clear();
  press();
  ASSERT_TRUE(excel.assigned.has_value());
  EXPECT_EQ(excel.assigned->at(3, 2), L"3,2");
  EXPECT_EQ(form.StatusBar1.Panel(kEndingPanel), L"");
}

TEST_F(ExcelExport, ASheetWithoutDataCellsAsksNothingOfExcel) {
  form.StringGrid1.setRowCount(1);
  press();
  EXPECT_TRUE(excel.calls.empty());
  expectNothingShown();
}

}  // namespace
