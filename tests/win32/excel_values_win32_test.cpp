// A range's "Value" reply read into typed values: every element type Excel
// gives, the layout and bounds of its array, the shapes that are no block;
// and a read-back from the stand-in Excel across processes.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "export/excel_import.h"
#include "export/excel_ports.h"
#include "export/win32/excel_client.h"
#include "export/win32/excel_values_win32.h"
#include "platform/errors.h"
#include "platform/win32/com_init.h"
#include "platform/win32/safe_array.h"
#include "platform/win32/variant.h"
#include "sheet/string_grid.h"
#include "sheet/undo_cells.h"
#include "standin_process.h"

namespace {

VARIANT plain(VARTYPE vt) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  return v;
}

// rows x cols of variants, the first dimension from `rowLow`, the second from
// `colLow`; element (r, c) counted from 0 is `make(r, c)`.
template <class TMake>
TVariant block(LONG rows, LONG cols, LONG rowLow, LONG colLow, TMake make) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), rowLow}, {static_cast<ULONG>(cols), colLow}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  for (LONG r = 0; r < rows; ++r) {
    for (LONG c = 0; c < cols; ++c) {
      LONG index[2] = {rowLow + r, colLow + c};
      TVariant v = make(r, c);
      SafeArrayPutElement(array, index, v.ptr());
    }
  }
  return TVariant::fromArray(VT_VARIANT, array);
}

std::wstring texts(const TExcelValues& values) {
  std::wstring out;
  for (std::int32_t r = 1; r <= values.rows(); ++r) {
    for (std::int32_t c = 1; c <= values.cols(); ++c) out += excelValueText(values.at(r, c)) + L"|";
    out += L"\n";
  }
  return out;
}

TEST(ExcelValuesOf, EachElementTypeInARowsByColumnsBlockOfAnyLowerBounds) {
  // One row holding each type Excel gives, and the integer types read defensively.
  std::vector<VARIANT> row(11, plain(VT_EMPTY));
  row[1].vt = VT_NULL;
  row[2].vt = VT_R8, row[2].dblVal = 12.5;
  row[3].vt = VT_R4, row[3].fltVal = 0.25f;
  row[4].vt = VT_I4, row[4].lVal = -7;
  row[5].vt = VT_I2, row[5].iVal = 300;
  row[6].vt = VT_CY, row[6].cyVal.int64 = 12345678;  // 1234.5678
  row[7].vt = VT_DATE, row[7].date = 46366.5;
  row[8].vt = VT_BOOL, row[8].boolVal = VARIANT_TRUE;
  row[9].vt = VT_BOOL, row[9].boolVal = VARIANT_FALSE;
  row[10].vt = VT_ERROR, row[10].scode = static_cast<SCODE>(-2146826281);
  const LONG cols = static_cast<LONG>(row.size());
  const TVariant typed = block(2, cols, 1, 1, [&](LONG r, LONG c) {
    if (r == 1) return TVariant::fromString(L"行2-" + std::to_wstring(c + 1));
    TVariant copy;
    VariantCopy(copy.receive(), &row[static_cast<std::size_t>(c)]);
    return copy;
  });
  const TExcelValues values = excelValuesOf(typed.get());
  ASSERT_EQ(values.rows(), 2);
  ASSERT_EQ(values.cols(), cols);
  EXPECT_EQ(values.at(1, 1).kind, TExcelKind::Empty);
  EXPECT_EQ(values.at(1, 2).kind, TExcelKind::Empty);
  EXPECT_EQ(values.at(1, 8).kind, TExcelKind::Date);
  EXPECT_EQ(values.at(1, 11).kind, TExcelKind::Error);
  EXPECT_EQ(texts(values), L"||12.5|0.25|-7|300|1234.5678|2026/12/10 12:00|TRUE|FALSE|#DIV/0!|\n"
                           L"行2-1|行2-2|行2-3|行2-4|行2-5|行2-6|行2-7|行2-8|行2-9|行2-10|行2-11|\n");

  // Other lower bounds, and a tall block: rows stay rows.
  const TVariant shifted = block(3, 2, -1, 0, [](LONG r, LONG c) {
    return TVariant::fromString(std::to_wstring(r + 1) + L"," + std::to_wstring(c + 1));
  });
  EXPECT_EQ(texts(excelValuesOf(shifted.get())), L"1,1|1,2|\n2,1|2,2|\n3,1|3,2|\n");

  // By reference, as some servers answer.
  SAFEARRAY* inner = shifted.get().parray;
  VARIANT byRef = plain(VT_BYREF | VT_ARRAY | VT_VARIANT);
  byRef.pparray = &inner;
  EXPECT_EQ(texts(excelValuesOf(byRef)), L"1,1|1,2|\n2,1|2,2|\n3,1|3,2|\n");

  // A one-cell range answers with its value alone.
  const TExcelValues one = excelValuesOf(TVariant::fromDouble(3.0).get());
  ASSERT_EQ(one.rows(), 1);
  ASSERT_EQ(one.cols(), 1);
  EXPECT_EQ(excelValueText(one.at(1, 1)), L"3");
}

TEST(ExcelValuesOf, AReplyThatIsNoBlockOfValuesIsAShapeErrorAndAnUnknownElementAnError) {
  TSafeArray strings = TSafeArray::create(VT_BSTR, 2);
  const TVariant ofStrings = TVariant::fromArray(VT_BSTR, strings.detach());
  SAFEARRAY* vector = SafeArrayCreateVector(VT_VARIANT, 0, 3);
  const TVariant rankOne = TVariant::fromArray(VT_VARIANT, vector);
  SAFEARRAYBOUND cube[3] = {{1, 1}, {1, 1}, {1, 1}};
  const TVariant rankThree = TVariant::fromArray(VT_VARIANT, SafeArrayCreate(VT_VARIANT, 3, cube));
  const VARIANT* shapes[] = {&ofStrings.get(), &rankOne.get(), &rankThree.get()};
  for (const VARIANT* shape : shapes) {
    EXPECT_THROW(excelValuesOf(*shape), TExcelShapeError) << "VARTYPE " << shape->vt;
  }
  VARIANT pointer = plain(VT_I8);
  pointer.llVal = 1;
  const TVariant withPointer = block(1, 2, 1, 1, [&](LONG, LONG c) {
    TVariant copy;
    if (c == 1) VariantCopy(copy.receive(), &pointer);
    return copy;
  });
  EXPECT_THROW(excelValuesOf(withPointer.get()), TAutomationError);
}

// Across processes through the stand-in Excel: only the range is read, and
// only the cells whose text differs come back.
TEST(ExcelReadBack, TheStandinsCellsComeBackIntoTheRangeOnly) {
  if (standin_test::standinExcelExe().empty()) GTEST_SKIP() << "no stand-in Excel in this build";
  TComInit com;
  ASSERT_TRUE(com.ok());
  const std::wstring load = standin_test::tempFile(L"excel-load");
  const std::wstring log = standin_test::tempFile(L"excel-calls");
  const std::wstring cells = standin_test::tempFile(L"excel-cells");
  const std::string tsv = "甲\t乙\t外\r\n丙\t丁\r\n外\t外\t外\r\n";
  std::FILE* f = _wfopen(load.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(tsv.data(), 1, tsv.size(), f);
  std::fclose(f);
  auto process = std::make_unique<standin_test::TStandinProcess>(L"Excel - Book1");
  ASSERT_TRUE(process->start({L"--load=" + load, L"--call-log=" + log, L"--cells=" + cells}, standin_test::standinExcelExe()));
  ASSERT_NE(process->waitForWindow(30000), nullptr);

  TStringGrid grid;
  grid.setRowCount(3);
  grid.setColCount(3);
  grid.setCell(1, 1, L"甲");
  grid.setCell(2, 1, L"乙x");
  grid.setCell(1, 2, L"丙");
  TUndoCells undo;
  TComExcelConnector excel;
  const TImportResult result = importFromExcel(grid, undo, excel);
  EXPECT_EQ(importLogLine(result), L"[Excelから取込] 変更 = 2");
  EXPECT_EQ(grid.Cell(2, 1), L"乙");
  EXPECT_EQ(grid.Cell(2, 2), L"丁");
  EXPECT_EQ(undo.Count(), 2);
  EXPECT_EQ(undo.groupCount(), 2);
  std::vector<std::string> calls;
  for (const std::string& line : standin_test::readLines(log)) {
    if (line.rfind("pid ", 0) != 0 && line.rfind("ProgID", 0) != 0) calls.push_back(line);
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"ActiveSheet", "Range A1 B2", "Value get"}));

  process->stop();
  EXPECT_FALSE(process->killed()) << "the stand-in Excel did not close by itself";
  process.reset();
  DeleteFileW(load.c_str());
  DeleteFileW(log.c_str());
  DeleteFileW(cells.c_str());
}

}  // namespace
