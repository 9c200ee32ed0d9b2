// The stand-in Excel's typed cells: which assigned strings Excel turns into
// numbers, dates, booleans and errors, what a text format keeps, and the
// preset files tests set cells with.
#include <gtest/gtest.h>

#include "cell_preset.h"
#include "cell_sheet.h"
#include "cell_value.h"

namespace {

struct TAssignCase {
  const wchar_t* assigned;
  TCellKind kind;
  const wchar_t* shown;
  double number;
};

TEST(StandinExcelValue, AssignedStringsConvertAsExcelConvertsThem) {
  const TAssignCase cases[] = {
      {L"", TCellKind::Empty, L"", 0},
      {L"0012", TCellKind::Number, L"12", 12},
      {L"12.50", TCellKind::Number, L"12.5", 12.5},
      {L"-0.25", TCellKind::Number, L"-0.25", -0.25},
      {L"+7", TCellKind::Number, L"7", 7},
      {L".5", TCellKind::Number, L"0.5", 0.5},
      {L"1,200", TCellKind::Number, L"1,200", 1200},        // the separators stay on display
      {L"12,345,678.5", TCellKind::Number, L"12,345,678.5", 12345678.5},
      {L"１２．５", TCellKind::Number, L"12.5", 12.5},       // full-width digits
      {L"１，２００", TCellKind::Number, L"1,200", 1200},
      {L"12345678901234567", TCellKind::Number, L"1.23456789012346e+16", 12345678901234567.0},
      {L"2026/12/10", TCellKind::Date, L"2026/12/10", 46366},
      {L"2026-1-5", TCellKind::Date, L"2026/01/05", 46027},
      {L"1900/03/01", TCellKind::Date, L"1900/03/01", 61},
      {L"true", TCellKind::Bool, L"TRUE", 1},
      {L"FALSE", TCellKind::Bool, L"FALSE", 0},
      {L"#N/A", TCellKind::Error, L"#N/A", 2042},
      {L"#DIV/0!", TCellKind::Error, L"#DIV/0!", 2007},
      // Strings Excel leaves alone.
      {L"1,20", TCellKind::Text, L"1,20", 0},
      {L",120", TCellKind::Text, L",120", 0},
      {L"1,2000", TCellKind::Text, L"1,2000", 0},
      {L"12.5.1", TCellKind::Text, L"12.5.1", 0},
      {L"-", TCellKind::Text, L"-", 0},
      {L".", TCellKind::Text, L".", 0},
      {L" 12", TCellKind::Text, L" 12", 0},
      {L"12a", TCellKind::Text, L"12a", 0},
      {L"TC20-35-7", TCellKind::Text, L"TC20-35-7", 0},
      {L"2026/13/01", TCellKind::Text, L"2026/13/01", 0},
      {L"2025/02/29", TCellKind::Text, L"2025/02/29", 0},
      {L"2026/12-10", TCellKind::Text, L"2026/12-10", 0},
      {L"#n/a", TCellKind::Text, L"#n/a", 0},
      {L"部品 12", TCellKind::Text, L"部品 12", 0},
  };
  for (const TAssignCase& c : cases) {
    const TCellValue v = assignedValue(c.assigned, false);
    EXPECT_EQ(v.kind, c.kind) << c.assigned;
    EXPECT_EQ(v.text, c.shown) << c.assigned;
    EXPECT_DOUBLE_EQ(v.number, c.number) << c.assigned;
    // A cell formatted as text keeps every string as it came.
    const TCellValue kept = assignedValue(c.assigned, true);
    EXPECT_EQ(kept.text, c.assigned);
    EXPECT_EQ(kept.kind, c.assigned[0] == L'\0' ? TCellKind::Empty : TCellKind::Text) << c.assigned;
  }
  EXPECT_EQ(dateText(2958465), L"9999/12/31");
  EXPECT_EQ(dateText(*dateSerial(2024, 2, 29)), L"2024/02/29");
}

TEST(StandinExcelValue, TextFormatKeepsLaterStringsAndLeavesValuesInPlace) {
  TCellSheet sheet;
  sheet.assign(TCellBlock{{1, 1}, {1, 2}}, TValueBlock{1, 2, {L"0012", L"4,500"}});
  sheet.setNumberFormat(TCellBlock{{1, 1}, {2, 1}}, L"@");
  // The number already there stays a number; only what is assigned later is kept as text.
  EXPECT_EQ(sheet.value(1, 1).kind, TCellKind::Number);
  sheet.assign(TCellBlock{{1, 1}, {2, 2}}, TValueBlock{2, 2, {L"0012", L"0012", L"2026/12/10", L"TRUE"}});
  const TTypedBlock got = sheet.typedValues(TCellBlock{{1, 1}, {2, 3}});
  EXPECT_EQ(got.at(0, 0), (TCellValue{TCellKind::Text, L"0012", 0}));
  EXPECT_EQ(got.at(0, 1), (TCellValue{TCellKind::Number, L"12", 12}));
  EXPECT_EQ(got.at(1, 0), (TCellValue{TCellKind::Text, L"2026/12/10", 0}));
  EXPECT_EQ(got.at(1, 1), (TCellValue{TCellKind::Bool, L"TRUE", 1}));
  EXPECT_EQ(got.at(1, 2).kind, TCellKind::Empty);
  // A block short of the range leaves Excel's error even in a text cell; "General" lets strings convert again.
  sheet.assign(TCellBlock{{1, 1}, {2, 1}}, TValueBlock{1, 1, {L"7"}});
  EXPECT_EQ(sheet.value(2, 1).kind, TCellKind::Error);
  sheet.setNumberFormat(TCellBlock{{1, 1}, {1, 1}}, L"General");
  sheet.assign(TCellBlock{{1, 1}, {1, 1}}, TValueBlock{1, 1, {L"0012"}});
  EXPECT_EQ(sheet.value(1, 1).kind, TCellKind::Number);
  EXPECT_EQ(sheet.toTsv(), L"12\t12\r\n#N/A\tTRUE\r\n");
}

TEST(StandinExcelPreset, TypedLinesAndTheFirstBadLine) {
  TPresetCells cells;
  std::wstring error;
  ASSERT_TRUE(parsePreset(L"B3=n:12.5\r\nC2=s:0012\n\nD4=d:2026-12-10\nE1=b:1\nF2=e:#N/A\nG1=empty\nH1=s:\n",
                          cells, &error))
      << error;
  const TPresetCells expected = {
      {{3, 2}, {TCellKind::Number, L"12.5", 12.5}}, {{2, 3}, {TCellKind::Text, L"0012", 0}},
      {{4, 4}, {TCellKind::Date, L"2026/12/10", 46366}}, {{1, 5}, {TCellKind::Bool, L"TRUE", 1}},
      {{2, 6}, {TCellKind::Error, L"#N/A", 2042}},       {{1, 7}, {}},
      {{1, 8}, {}}};
  EXPECT_EQ(cells, expected);
  for (const wchar_t* bad : {L"B3", L"B3=x:1", L"B3=n:12a", L"B3=n:", L"B3=d:2026-02-30", L"B3=b:2", L"B3=e:#OOPS",
                             L"3B=s:x", L"B3=12"}) {
    EXPECT_FALSE(parsePreset(std::wstring(L"A1=s:ok\n") + bad, cells, &error)) << bad;
    EXPECT_EQ(error, std::wstring(L"line 2: ") + bad);
  }
}

}  // namespace
