#pragma once
// What one worksheet cell holds, typed as Excel holds it, and the rule by
// which Excel turns an assigned string into a number, a date, a boolean or
// an error unless the cell is formatted as text ("@").
#include <cstdint>
#include <optional>
#include <string>

enum class TCellKind { Empty, Text, Number, Date, Bool, Error };

struct TCellValue {
  TCellKind kind = TCellKind::Empty;
  // What the cell shows; also the text for TSV files and the window.
  std::wstring text;
  // The number, the date's serial (days from 1899-12-30), 1/0 for a
  // boolean, or Excel's error number (2042 for #N/A).
  double number = 0.0;
  bool operator==(const TCellValue&) const = default;
};

// The value a cell takes when a string is assigned to it. A cell formatted
// as text keeps any string; otherwise an ordinary number ("0012", "1,200",
// "-12.50", full-width digits too), a date "yyyy/mm/dd" or "yyyy-mm-dd",
// TRUE/FALSE and Excel's error texts are converted. A number written with
// thousands separators keeps them on display, as Excel gives it a format.
TCellValue assignedValue(const std::wstring& text, bool formattedAsText);

// A number as Excel's General format shows it: at most 15 significant digits,
// no trailing zeros.
std::wstring generalNumberText(double number);

// Excel's error number for "#N/A", "#DIV/0!" and the others; nothing for other texts.
std::optional<std::int32_t> errorNumber(const std::wstring& text);

// A date's serial for a valid day of the Gregorian calendar from 1900 on.
std::optional<double> dateSerial(std::int32_t year, std::int32_t month, std::int32_t day);
// "yyyy/mm/dd", for a serial of a whole day.
std::wstring dateText(double serial);
