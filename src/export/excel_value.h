#pragma once
// The typed values a worksheet range gives back, and the text a user sees
// for each of them in Excel's General format.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "export/cell_block.h"

enum class TExcelKind { Empty, String, Number, Date, Boolean, Error };

struct TExcelValue {
  TExcelKind kind = TExcelKind::Empty;
  std::wstring text;        // String
  double number = 0.0;      // Number; Date as an OLE date (days since 1899-12-30)
  bool boolean = false;     // Boolean
  std::int32_t error = 0;   // Error: the HRESULT-like code Excel gives (#N/A = -2146826246, ...)

  static TExcelValue string(std::wstring s) { return {TExcelKind::String, std::move(s), 0.0, false, 0}; }
  static TExcelValue numeric(double x) { return {TExcelKind::Number, {}, x, false, 0}; }
  static TExcelValue date(double oleDate) { return {TExcelKind::Date, {}, oleDate, false, 0}; }
  static TExcelValue logical(bool b) { return {TExcelKind::Boolean, {}, 0.0, b, 0}; }
  static TExcelValue errorCode(std::int32_t code) { return {TExcelKind::Error, {}, 0.0, false, code}; }
};

// A rows x cols block of values, indexed from 1 as the worksheet counts.
using TExcelValues = TCellBlock<TExcelValue>;

// The text of a value as Excel's General format shows it: strings as they
// are; numbers to 15 significant digits without trailing zeros, plain while
// 1E-04 <= |x| < 1E+15 and otherwise as "1.23E+20"; dates as "yyyy/mm/dd",
// then " h:mm" when not midnight (" h:mm:ss" when the seconds are not 0);
// TRUE and FALSE; errors by their names ("#N/A", ...).
std::wstring excelValueText(const TExcelValue& value);

// Whether `text`, read as a number, is `value` to 15 significant digits.
// The reading allows blanks around, a sign, full-width digits, sign, point
// and comma, commas between the digits before the point, trailing zeros
// and an exponent ("1e3"); anything else is not a number.
bool sameNumber(const std::wstring& text, double value);

// What a sheet cell holding `current` becomes when `value` comes back: the
// text unchanged when the value is a number it already means, else the
// value's text.
std::wstring importedText(const std::wstring& current, const TExcelValue& value);
