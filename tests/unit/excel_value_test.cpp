// The text of each typed value Excel gives back, and the rule that keeps a
// cell's text when the number that comes back is the one it already means.
#include <gtest/gtest.h>

#include <string>

#include "export/excel_value.h"
#include "platform/utf8.h"

namespace {

TEST(ExcelValueText, AsExcelsGeneralFormatShowsEachKindOfValue) {
  const struct {
    TExcelValue value;
    const wchar_t* text;
  } cases[] = {
      {{}, L""},
      {TExcelValue::string(L"０１２ 部品"), L"０１２ 部品"},
      {TExcelValue::string(L""), L""},
      {TExcelValue::numeric(12), L"12"},
      {TExcelValue::numeric(12.5), L"12.5"},
      {TExcelValue::numeric(-1234.5), L"-1234.5"},
      {TExcelValue::numeric(-0.0), L"0"},
      {TExcelValue::numeric(0.1 + 0.2), L"0.3"},                 // 15 digits hide the binary tail
      {TExcelValue::numeric(1.0 / 3.0), L"0.333333333333333"},
      {TExcelValue::numeric(123456789012345.0), L"123456789012345"},
      {TExcelValue::numeric(999999999999999.9), L"1E+15"},       // rounds up into the exponent form
      {TExcelValue::numeric(1.23e20), L"1.23E+20"},
      {TExcelValue::numeric(1234567890123456789.0), L"1.23456789012346E+18"},
      {TExcelValue::numeric(0.0001), L"0.0001"},
      {TExcelValue::numeric(0.00001), L"1E-05"},
      {TExcelValue::numeric(-2.5e-7), L"-2.5E-07"},
      {TExcelValue::date(46366.0), L"2026/12/10"},
      {TExcelValue::date(46366.5), L"2026/12/10 12:00"},
      {TExcelValue::date(46366.0 + (7 * 3600 + 5 * 60 + 9) / 86400.0), L"2026/12/10 7:05:09"},
      {TExcelValue::date(46366.0 + 86399.9 / 86400.0), L"2026/12/11"},  // a tenth of a second to midnight
      {TExcelValue::date(36585.0), L"2000/02/29"},
      {TExcelValue::date(61.0), L"1900/03/01"},
      {TExcelValue::date(1.0), L"1899/12/31"},
      {TExcelValue::date(-1.25), L"1899/12/29 6:00"},
      {TExcelValue::logical(true), L"TRUE"},
      {TExcelValue::logical(false), L"FALSE"},
      {TExcelValue::errorCode(-2146826246), L"#N/A"},
      {TExcelValue::errorCode(-2146826281), L"#DIV/0!"},
      {TExcelValue::errorCode(-2146826273), L"#VALUE!"},
      {TExcelValue::errorCode(-2146826265), L"#REF!"},
      {TExcelValue::errorCode(-2146826259), L"#NAME?"},
      {TExcelValue::errorCode(-2146826252), L"#NUM!"},
      {TExcelValue::errorCode(-2146826288), L"#NULL!"},
      {TExcelValue::errorCode(-2146826200), L"#ERROR -2146826200"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(excelValueText(c.value), c.text) << "expected " << toUtf8(c.text);
  }
}

TEST(SameNumber, TheSheetsTextIsKeptOnlyWhenItMeansTheNumberThatCameBack) {
  const struct {
    const wchar_t* text;
    double value;
    bool same;
  } cases[] = {
      {L"0012", 12, true},
      {L"1,200", 1200, true},
      {L"1,200.50", 1200.5, true},
      {L"１２．５", 12.5, true},
      {L"１，２００", 1200, true},
      {L"12.50", 12.5, true},
      {L" +12 ", 12, true},
      {L"\u3000１２\u3000", 12, true},
      {L"－３", -3, true},
      {L"-0", 0, true},
      {L".5", 0.5, true},
      {L"5.", 5, true},
      {L"1e3", 1000, true},
      {L"2.5E-3", 0.0025, true},
      {L"0.3", 0.1 + 0.2, true},
      {L"123456789012345678", 123456789012345678.0, true},
      {L"12.5", 12.51, false},
      {L"0012", 13, false},
      {L"abc", 0, false},
      {L"1.2.3", 1.2, false},
      {L"", 0, false},
      {L" ", 0, false},
      {L",100", 100, false},
      {L"100,", 100, false},
      {L"1,.5", 1.5, false},
      {L"1e", 1, false},
      {L"12%", 0.12, false},
      {L"0x10", 16, false},
      {L"1 2", 12, false},
      {L"+-1", -1, false},
      {L"１２個", 12, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sameNumber(c.text, c.value), c.same) << "\"" << toUtf8(c.text) << "\" / " << c.value;
  }
}

TEST(ImportedText, OnlyANumberCanLeaveTheTextAlone) {
  const struct {
    const wchar_t* current;
    TExcelValue value;
    const wchar_t* text;
  } cases[] = {
      {L"0012", TExcelValue::numeric(12), L"0012"},
      {L"0012", TExcelValue::numeric(13), L"13"},
      {L"0012", TExcelValue::string(L"12"), L"12"},  // a string is the user's own text
      {L"abc", TExcelValue::numeric(0), L"0"},
      {L"1", TExcelValue::logical(true), L"TRUE"},
      {L"2026/12/10", TExcelValue::date(46366.0), L"2026/12/10"},
      {L"x", {}, L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(importedText(c.current, c.value), c.text) << toUtf8(c.current);
  }
}

}  // namespace
