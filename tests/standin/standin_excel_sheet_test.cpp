// The stand-in Excel's worksheet: A1 names as Excel reads them, assignment
// into a range as a worksheet takes it, and the tab-separated form tests read.
#include <gtest/gtest.h>

#include "cell_sheet.h"
#include "excel_options.h"

namespace {

TEST(StandinExcelNames, LettersAndNamesRoundTripOverEveryColumn) {
  for (std::int32_t col = 1; col <= kMaxCol; ++col) {
    const auto pos = parseCellName(columnLetters(col) + L"7");
    ASSERT_TRUE(pos.has_value()) << col;
    ASSERT_EQ(pos->col, col);
  }
  EXPECT_EQ(columnLetters(16384), L"XFD");
  EXPECT_EQ(parseCellName(L"$aa$12"), (TCellPos{12, 27}));
  EXPECT_EQ(parseCellName(L"XFD1048576"), (TCellPos{kMaxRow, kMaxCol}));
  for (const wchar_t* bad : {L"", L"A", L"1", L"A0", L"XFE1", L"A1048577", L"A1B", L"A-1", L"Ａ1", L"A1:"}) {
    EXPECT_FALSE(parseCellName(bad).has_value());
  }
}

TEST(StandinExcelNames, RangeFromTwoCornersInAnyOrderOrOneText) {
  const TCellBlock b3c5{{3, 2}, {5, 3}};
  EXPECT_EQ(parseRange(L"B3", L"C5"), b3c5);
  EXPECT_EQ(parseRange(L"C5", L"B3"), b3c5);
  EXPECT_EQ(parseRange(L"B3:C5"), b3c5);
  EXPECT_EQ(parseRange(L"B3"), (TCellBlock{{3, 2}, {3, 2}}));
  EXPECT_FALSE(parseRange(L"B3", L"nope").has_value());
}

TEST(StandinExcelSheet, AssignmentOverwritesTheRangeOnlyEmptyTextsIncluded) {
  TCellSheet sheet;
  sheet.loadTsv(L"old\told\told\r\nold\t\tkeep\nkeep\tkeep\r\n");
  TValueBlock block{2, 2, {L"部品", L"", L"12", L"x"}};
  sheet.assign(TCellBlock{{1, 1}, {2, 2}}, block);
  EXPECT_EQ(sheet.toTsv(), L"部品\t\told\r\n12\tx\tkeep\r\nkeep\tkeep\t\r\n");
}

TEST(StandinExcelSheet, ABlockSmallerThanTheRangeLeavesNaAndALargerOneIsCut) {
  TCellSheet sheet;
  sheet.assign(TCellBlock{{1, 1}, {2, 3}}, TValueBlock{1, 2, {L"a", L"b"}});
  EXPECT_EQ(sheet.toTsv(), L"a\tb\t#N/A\r\n#N/A\t#N/A\t#N/A\r\n");
  sheet.assign(TCellBlock{{1, 1}, {1, 1}}, TValueBlock{2, 2, {L"z", L"y", L"x", L"w"}});
  EXPECT_EQ(sheet.cell(1, 1), L"z");
  EXPECT_EQ(sheet.cell(1, 2), L"b");
  const TValueBlock back = sheet.values(TCellBlock{{2, 2}, {3, 3}});
  EXPECT_EQ(back.texts, (std::vector<std::wstring>{L"#N/A", L"#N/A", L"", L""}));
}

TEST(StandinExcelOptions, SwitchesAndValues) {
  TExcelOptions o;
  std::wstring error;
  ASSERT_TRUE(parseExcelOptions({L"--cells=C:\\x.tsv", L"--no-workbook", L"--refuse-value", L"--exit-in=Value",
                                 L"--preset=p.txt", L"--refuse-read", L"--wrong-shape"},
                                o, &error));
  EXPECT_EQ(o.cellsPath, L"C:\\x.tsv");
  EXPECT_TRUE(o.noWorkbook);
  EXPECT_TRUE(o.refuseValue);
  EXPECT_EQ(o.exitInMember, L"Value");
  EXPECT_EQ(o.presetPath, L"p.txt");
  EXPECT_TRUE(o.refuseRead);
  EXPECT_TRUE(o.wrongShape);
  EXPECT_FALSE(parseExcelOptions({L"--cells="}, o, &error));
  EXPECT_FALSE(parseExcelOptions({L"--visible"}, o, &error));
  EXPECT_EQ(error, L"unknown argument: --visible");
}

}  // namespace
