// "CSVで保存...": the quoting of each field, the file's bytes and the name
// the dialog offers. The command itself runs end to end (test_csv_save.py).
#include <gtest/gtest.h>

#include <string>

#include "export/csv_file.h"
#include "sheet/string_grid.h"

namespace {

TEST(CsvField, QuotedExactlyWhenItHoldsACommaAQuoteOrALineBreak) {
  const struct {
    const wchar_t* text;
    const wchar_t* field;
  } cases[] = {
      {L"", L""},
      {L"plain", L"plain"},
      {L"部品 ０１２", L"部品 ０１２"},
      {L" lead and trail ", L" lead and trail "},  // spaces are kept, unquoted
      {L"1,200", L"\"1,200\""},
      {L"say \"hi\"", L"\"say \"\"hi\"\"\""},
      {L"\"", L"\"\"\"\""},
      {L"line1\r\nline2", L"\"line1\r\nline2\""},
      {L"line1\nline2", L"\"line1\nline2\""},
      {L"cr\ronly", L"\"cr\ronly\""},
      {L"a,\"b\"\nc", L"\"a,\"\"b\"\"\nc\""},
      {L"tab\there", L"tab\there"},
      {L"；、。", L"；、。"},  // full-width punctuation is no separator
  };
  for (const auto& c : cases) {
    EXPECT_EQ(csvField(c.text), c.field) << "text: " << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(CsvFileBytes, BomThenUtf8RowsEndedByCrLfWithoutTheHeaders) {
  TStringGrid grid;
  grid.setRowCount(4);
  grid.setColCount(3);
  for (std::int32_t r = 0; r < 4; ++r) {
    for (std::int32_t c = 0; c < 3; ++c) {
      grid.setCell(c, r, r == 0 || c == 0 ? L"header" : L"");
    }
  }
  grid.setCell(1, 1, L"品名");
  grid.setCell(2, 1, L"1,200");
  grid.setCell(1, 2, L"6\" pipe");
  grid.setCell(2, 3, L"two\r\nlines");
  const std::string expected =
      "\xEF\xBB\xBF"
      "\xE5\x93\x81\xE5\x90\x8D,\"1,200\"\r\n"
      "\"6\"\" pipe\",\r\n"
      ",\"two\r\nlines\"\r\n";
  EXPECT_EQ(csvFileBytes(transferArray(grid)), expected);
  EXPECT_EQ(csvFileBytes(TTransferArray()), "\xEF\xBB\xBF");
}

TEST(CsvDefaultName, TheDrawingsNameWithCsvOrTableCsv) {
  const struct {
    const wchar_t* drawing;
    const wchar_t* name;
  } cases[] = {
      {L"", L"table.csv"},
      {L"parts_list.dxf", L"parts_list.csv"},
      {L"図面1.dwg", L"図面1.csv"},
      {L"Drawing1", L"Drawing1.csv"},
      {L"v1.2.plan.dwg", L"v1.2.plan.csv"},
      {L"C:\\work\\a.b\\plan.dwg", L"plan.csv"},
      {L"C:\\work\\a.b\\plan", L"plan.csv"},
      {L".dwg", L".dwg.csv"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(csvDefaultName(c.drawing), c.name) << "drawing: " << testing::PrintToString(std::wstring(c.drawing));
  }
}

}  // namespace
