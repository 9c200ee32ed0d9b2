// The Excel client against the running stand-in Excel, across processes:
// the export's one by-reference assignment and what the worksheet holds
// after it, the fault cases (no workbook, a refused assignment, an Excel
// that ends inside the call, none running), the stand-in's "Value" with
// other lower bounds, and the time a 1,000 x 30 sheet takes there and back.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "export/excel_export.h"
#include "export/excel_import.h"
#include "export/win32/excel_client.h"
#include "platform/errors.h"
#include "platform/win32/com_init.h"
#include "platform/win32/com_object.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/safe_array.h"
#include "standin_process.h"
#include "sheet/string_grid.h"
#include "sheet/undo_cells.h"

namespace {

using standin_test::readFileBytes;
using standin_test::readLines;
using standin_test::tempFile;

constexpr CLSID kExcelClsid = {0x00024500, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class StandinExcel : public ::testing::Test {
 protected:
  void SetUp() override {
    if (standin_test::standinExcelExe().empty()) GTEST_SKIP() << "no stand-in Excel in this build";
    ASSERT_TRUE(com.ok());
  }
  void TearDown() override {
    stop();
    DeleteFileW(cells.c_str());
    DeleteFileW(log.c_str());
  }

  bool start(std::vector<std::wstring> args, const wchar_t* title = L"Excel - Book1") {
    args.push_back(L"--cells=" + cells);
    args.push_back(L"--call-log=" + log);
    process = std::make_unique<standin_test::TStandinProcess>(title);
    if (!process->start(args, standin_test::standinExcelExe())) return false;
    return process->waitForWindow(30000) != nullptr;
  }
  void stop() {
    if (process) {
      process->stop();
      EXPECT_FALSE(process->killed()) << "the stand-in Excel did not close by itself";
      process.reset();
    }
  }
  // The served calls, after the start-up lines.
  std::vector<std::string> calls() const {
    std::vector<std::string> out;
    for (const std::string& line : readLines(log)) {
      if (line.rfind("pid ", 0) != 0 && line.rfind("ProgID", 0) != 0) out.push_back(line);
    }
    return out;
  }
  std::wstring writeLoad(const std::string& tsv) {
    const std::wstring path = tempFile(L"excel-load");
    std::FILE* f = _wfopen(path.c_str(), L"wb");
    std::fwrite(tsv.data(), 1, tsv.size(), f);
    std::fclose(f);
    return path;
  }

  TComInit com;
  const std::wstring cells = tempFile(L"excel-cells");
  const std::wstring log = tempFile(L"excel-calls");
  std::unique_ptr<standin_test::TStandinProcess> process;
  TComExcelConnector excel;
};

// The sheet's data cells: r rows and c columns, (col, row) holding "r-c" but
// for the cells given.
void dataSheet(TStringGrid& grid, std::int32_t rows, std::int32_t cols) {
  grid.setRowCount(rows + 1);
  grid.setColCount(cols + 1);
  for (std::int32_t r = 1; r <= rows; ++r) {
    for (std::int32_t c = 1; c <= cols; ++c) grid.setCell(c, r, std::to_wstring(r) + L"-" + std::to_wstring(c));
  }
}

TEST_F(StandinExcel, TheExportIsOneByReferenceAssignmentThatKeepsTheCellsAround) {
  const std::wstring load = writeLoad("x\tx\tx\tnear\r\nx\tx\tx\r\nx\tx\tx\r\n\t\t\tfar\r\n");
  ASSERT_TRUE(start({L"--load=" + load}));
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"Excel.Application", &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, kExcelClsid));

  TStringGrid grid;
  dataSheet(grid, 3, 2);  // three rows, two columns: the dimensions must not swap
  grid.setCell(1, 1, L"六角ボルト M8×20");
  grid.setCell(2, 2, L"");
  grid.setCell(2, 3, L"007");
  grid.setCell(0, 1, L"header");
  exportToExcel(grid, excel);

  // Without a text format, Excel makes the number 7 of "007".
  EXPECT_EQ(readFileBytes(cells),
            "六角ボルト M8×20\t1-2\tx\tnear\r\n2-1\t\tx\t\r\n3-1\t7\tx\t\r\n\t\t\tfar\r\n");
  EXPECT_EQ(calls(), (std::vector<std::string>{"ActiveSheet", "Range A1 B3", "Value put 3x2 byref"}));
  DeleteFileW(load.c_str());
}

TEST_F(StandinExcel, FaultsFailTheirCallAndLeaveTheCellsAsTheyWere) {
  TStringGrid grid;
  dataSheet(grid, 2, 2);
  const struct {
    std::vector<std::wstring> args;
    const wchar_t* title;
    std::vector<std::string> calls;
    bool unanswered;  // the server ended inside the call
  } cases[] = {
      {{L"--no-workbook"}, L"Excel", {"ActiveSheet"}, false},
      {{L"--refuse-value"}, L"Excel - Book1", {"ActiveSheet", "Range A1 B2", "Value put 2x2 byref"}, false},
      {{L"--exit-in=Value"},
       L"Excel - Book1",
       {"ActiveSheet", "Range A1 B2", "Value put 2x2 byref", "exit in call"},
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.args[0]));
    ASSERT_TRUE(start(c.args, c.title));
    bool failed = false;
    try {
      auto application = excel.activeExcel();
      application->ActiveSheet()->Range(L"A1", L"B2")->setValue(transferArray(grid));
    } catch (const TAutomationError& e) {
      failed = true;
      EXPECT_EQ(e.unreachable(), c.unanswered) << toUtf8(e.message());
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(calls(), c.calls);
    EXPECT_EQ(GetFileAttributesW(cells.c_str()), INVALID_FILE_ATTRIBUTES) << "the cells were written";
    stop();
    DeleteFileW(log.c_str());
  }
  // Gone, it is no longer the running Excel; started again, it takes the export.
  EXPECT_THROW(excel.activeExcel(), TAutomationError);
  ASSERT_TRUE(start({}));
  exportToExcel(grid, excel);
  EXPECT_EQ(readFileBytes(cells), "1-1\t1-2\r\n2-1\t2-2\r\n");
}

TEST_F(StandinExcel, ValueTakesArraysOfAnyLowerBoundsByValueAndGivesThemBack) {
  ASSERT_TRUE(start({}));
  TComPtr<IUnknown> unknown;
  ASSERT_EQ(GetActiveObject(kExcelClsid, nullptr, unknown.receive()), S_OK);
  TComPtr<IDispatch> app;
  ASSERT_EQ(unknown.queryInterface(IID_IDispatch, app), S_OK);
  auto cache = std::make_shared<TDispIdCache>(L"Excel");
  const TComObject application(std::move(app), cache, L"application");
  const TComObject sheet(application.getObject(L"ActiveSheet"), cache, L"sheet");
  const TComObject range(sheet.getObject(L"Range", TVariant::fromString(L"B2:C3")), cache, L"range");
  const TDispatchObject rangeView(cache, range.object(), TDispatchKind::named(L"range"));

  // Rows from -1, columns from 0, a number among the strings, by value.
  SAFEARRAYBOUND bounds[2] = {{2, -1}, {2, 0}};
  TSafeArray array = TSafeArray::attach(SafeArrayCreate(VT_VARIANT, 2, bounds));
  const wchar_t* texts[2][2] = {{L"左上", L"右上"}, {L"左下", nullptr}};
  for (LONG r = 0; r < 2; ++r) {
    for (LONG c = 0; c < 2; ++c) {
      LONG index[2] = {r - 1, c};
      TVariant v = texts[r][c] != nullptr ? TVariant::fromString(texts[r][c]) : TVariant::fromDouble(2.5);
      ASSERT_EQ(SafeArrayPutElement(array.get(), index, v.ptr()), S_OK);
    }
  }
  rangeView.put(L"Value", TVariant::fromArray(VT_VARIANT, array.detach()));
  EXPECT_EQ(readFileBytes(cells), "\t\t\r\n\t左上\t右上\r\n\t左下\t2.5\r\n");

  TVariant back = rangeView.get(L"Value");
  ASSERT_EQ(back.type(), VT_ARRAY | VT_VARIANT);
  LONG low = 0;
  SafeArrayGetLBound(back.get().parray, 1, &low);
  EXPECT_EQ(low, 1);
  LONG index[2] = {2, 1};
  TVariant element;
  ASSERT_EQ(SafeArrayGetElement(back.get().parray, index, element.receive()), S_OK);
  ASSERT_EQ(element.type(), VT_BSTR);
  EXPECT_EQ(std::wstring(element.get().bstrVal), L"左下");
}

TEST_F(StandinExcel, NoExcelRunningFailsAtTheLookup) {
  EXPECT_THROW(excel.activeExcel(), TAutomationError);
}

TEST_F(StandinExcel, ASheetOfAThousandRowsByThirtyColumnsGoesInOneCall) {
  ASSERT_TRUE(start({}));
  TStringGrid grid;
  dataSheet(grid, 1000, 30);
  const auto begin = std::chrono::steady_clock::now();
  exportToExcel(grid, excel);
  ASSERT_TRUE(standin_test::waitFor([&] { return GetFileAttributesW(cells.c_str()) != INVALID_FILE_ATTRIBUTES; },
                                    30000));
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
  RecordProperty("export_1000x30_ms", static_cast<int>(ms.count()));
  std::printf("export of 1000 x 30 cells: %d ms\n", static_cast<int>(ms.count()));
  const std::vector<std::string> lines = readLines(cells);
  ASSERT_EQ(lines.size(), 1000u);
  EXPECT_EQ(lines[999].substr(lines[999].rfind('\t') + 1), "1000-30");
  EXPECT_EQ(calls(), (std::vector<std::string>{"ActiveSheet", "Range A1 AD1000", "Value put 1000x30 byref"}));

  // And back in one call: the first column, changed in the sheet meanwhile,
  // is all that is written.
  for (std::int32_t r = 1; r <= 1000; ++r) grid.setCell(1, r, L"x");
  TUndoCells undo;
  const auto readBegin = std::chrono::steady_clock::now();
  const TImportResult back = importFromExcel(grid, undo, excel);
  const auto readMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - readBegin);
  RecordProperty("readback_1000x30_ms", static_cast<int>(readMs.count()));
  std::printf("read-back of 1000 x 30 cells: %d ms\n", static_cast<int>(readMs.count()));
  EXPECT_EQ(importLogLine(back), L"[Excelから取込] 変更 = 1000");
  EXPECT_EQ(grid.Cell(1, 1000), L"1000-1");
  EXPECT_EQ(undo.groupCount(), 1000);
  EXPECT_EQ(calls().back(), "Value get");
}

}  // namespace
