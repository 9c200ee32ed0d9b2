// "CSVで保存...": the quoting of each field, the file's bytes, the name the
// dialog offers, and the command's path from the dialog to the write or to
// the one error box.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/morvane_form.h"
#include "export/csv_file.h"
#include "fake_cad.h"
#include "fake_desktop.h"
#include "table_access.h"

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

// Records what the command asked and answers as told.
class TFakeFileSaver : public TFileSaver {
 public:
  std::optional<std::wstring> chosen = L"C:\\out\\table.csv";
  std::wstring failure;
  std::vector<std::wstring> offered;
  std::vector<std::pair<std::wstring, std::string>> writes;

  std::optional<std::wstring> chooseSavePath(const std::wstring& defaultName) override {
    offered.push_back(defaultName);
    return chosen;
  }
  std::wstring replaceFile(const std::wstring& path, const std::string& bytes) override {
    writes.emplace_back(path, bytes);
    return failure;
  }
};

class CsvSave : public ::testing::Test {
 protected:
  TFakeDesktop desktop;
  TFakeCad cad;
  TFakeTextMetrics metrics;
  TFakeFileSaver files;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics, nullptr, nullptr, nullptr, &files}};

  void SetUp() override {
    form.StringGrid1.setRowCount(3);
    form.StringGrid1.setColCount(3);
    form.StringGrid1.setCell(1, 0, L"1");
    form.StringGrid1.setCell(0, 1, L"1");
    form.StringGrid1.setCell(1, 1, L"a");
    form.StringGrid1.setCell(2, 2, L"b,c");
    form.CSV1.setEnabled(true);
  }
};

TEST_F(CsvSave, WritesTheDataCellsWhereTheDialogSaysUnderTheDrawingsName) {
  TTableAccess::of(form).drawing.documentName = L"parts_list.dxf";
  form.CSV1.Click();
  EXPECT_EQ(files.offered, std::vector<std::wstring>{L"parts_list.csv"});
  ASSERT_EQ(files.writes.size(), 1u);
  EXPECT_EQ(files.writes[0].first, L"C:\\out\\table.csv");
  EXPECT_EQ(files.writes[0].second, "\xEF\xBB\xBF" "a,\r\n,\"b,c\"\r\n");
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(form.Memo1.Lines().empty());
}

TEST_F(CsvSave, CancelWritesNothingAndAFailureShowsOneBoxNamingThePath) {
  files.chosen = std::nullopt;
  form.CSV1.Click();
  EXPECT_EQ(files.offered, std::vector<std::wstring>{L"table.csv"});  // no table read from a drawing
  EXPECT_TRUE(files.writes.empty());
  EXPECT_TRUE(desktop.messages.empty());

  files.chosen = L"Z:\\ro\\old.csv";
  files.failure = L"Access denied.";
  form.CSV1.Click();
  EXPECT_EQ(files.writes.size(), 1u);
  EXPECT_EQ(desktop.messages, std::vector<std::wstring>{L"error|Z:\\ro\\old.csv に書き込めません\nAccess denied."});
}

}  // namespace
