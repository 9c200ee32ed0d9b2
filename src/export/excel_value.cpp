#include "export/excel_value.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

std::wstring widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// 15 significant digits, the shortest of them, in the C locale whatever the
// process's locale is.
std::string general15(double x) {
  char buffer[64] = {};
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 15);
  std::string s(buffer, r.ptr);
  if (s == "-0") {
    return "0";
  }
  const std::size_t e = s.find('e');
  if (e == std::string::npos) {
    return s;
  }
  // Excel writes the exponent with a capital E and at least two digits, as
  // the C library does.
  s[e] = 'E';
  return s;
}

std::wstring numberText(double x) {
  if (!std::isfinite(x)) {
    return L"#NUM!";
  }
  return widen(general15(x));
}

std::wstring twoDigits(long long n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

// Days since 1970-01-01 to the civil date (proleptic Gregorian).
void civilFromDays(long long z, long long& y, long long& m, long long& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

std::wstring dateText(double oleDate) {
  // Beyond Excel's own years the value is no date Excel would give.
  if (!std::isfinite(oleDate) || std::fabs(oleDate) > 3.0e6) {
    return numberText(oleDate);
  }
  // An OLE date's fraction is the time of day even before 1899-12-30, where
  // the whole part counts backwards: -1.25 is 1899-12-29 06:00.
  long long days = static_cast<long long>(std::trunc(oleDate));
  long long seconds = std::llround(std::fabs(oleDate - static_cast<double>(days)) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += oleDate < 0 ? -1 : 1;
  }
  long long y = 0;
  long long m = 0;
  long long d = 0;
  civilFromDays(days - 25569, y, m, d);  // 1899-12-30 is 25569 days before 1970-01-01
  std::wstring text = std::to_wstring(y) + L"/" + twoDigits(m) + L"/" + twoDigits(d);
  if (seconds != 0) {
    text += L" " + std::to_wstring(seconds / 3600) + L":" + twoDigits(seconds / 60 % 60);
    if (seconds % 60 != 0) {
      text += L":" + twoDigits(seconds % 60);
    }
  }
  return text;
}

std::wstring errorText(std::int32_t code) {
  switch (code) {
    case -2146826288: return L"#NULL!";
    case -2146826281: return L"#DIV/0!";
    case -2146826273: return L"#VALUE!";
    case -2146826265: return L"#REF!";
    case -2146826259: return L"#NAME?";
    case -2146826252: return L"#NUM!";
    case -2146826246: return L"#N/A";
    default: break;
  }
  // An error this program has no name for still shows as an error.
  return L"#ERROR " + std::to_wstring(code);
}

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000'; }

// The full-width digits, sign, point and comma as their ASCII forms.
wchar_t narrow(wchar_t c) {
  if (c >= L'\uFF10' && c <= L'\uFF19') {
    return static_cast<wchar_t>(L'0' + (c - L'\uFF10'));
  }
  switch (c) {
    case L'\uFF0E': return L'.';
    case L'\uFF0D': return L'-';
    case L'\uFF0B': return L'+';
    case L'\uFF0C': return L',';
    case L'\uFF45': return L'e';
    case L'\uFF25': return L'E';
    default: return c;
  }
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The text as a plain ASCII number for from_chars, or empty when it is no number.
std::string numberSpelling(const std::wstring& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  std::wstring s;
  for (std::size_t i = begin; i < end; ++i) s += narrow(text[i]);
  std::string out;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) {
    if (s[i] == L'-') out += '-';
    ++i;
  }
  int digits = 0;
  // The integer part: commas only between digits.
  for (; i < s.size() && (isDigit(s[i]) || s[i] == L','); ++i) {
    if (s[i] == L',') {
      if (digits == 0 || i + 1 >= s.size() || !isDigit(s[i + 1])) return {};
      continue;
    }
    out += static_cast<char>(s[i]);
    ++digits;
  }
  if (i < s.size() && s[i] == L'.') {
    out += '.';
    for (++i; i < s.size() && isDigit(s[i]); ++i, ++digits) out += static_cast<char>(s[i]);
  }
  if (digits == 0) return {};
  if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
    out += 'e';
    ++i;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) {
      if (s[i] == L'-') out += '-';
      ++i;
    }
    int exponentDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++exponentDigits) out += static_cast<char>(s[i]);
    if (exponentDigits == 0) return {};
  }
  return i == s.size() ? out : std::string{};
}

// Both numbers to 15 significant digits, compared as Excel would show them.
std::string significant15(double x) {
  if (x == 0.0) return "0";  // -0 too
  char buffer[64] = {};
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14);
  return std::string(buffer, r.ptr);
}

}  // namespace

std::wstring excelValueText(const TExcelValue& value) {
  switch (value.kind) {
    case TExcelKind::Empty: return {};
    case TExcelKind::String: return value.text;
    case TExcelKind::Number: return numberText(value.number);
    case TExcelKind::Date: return dateText(value.number);
    case TExcelKind::Boolean: return value.boolean ? L"TRUE" : L"FALSE";
    case TExcelKind::Error: return errorText(value.error);
  }
  return {};
}

bool sameNumber(const std::wstring& text, double value) {
  const std::string spelling = numberSpelling(text);
  if (spelling.empty() || !std::isfinite(value)) {
    return false;
  }
  double read = 0.0;
  const std::from_chars_result r = std::from_chars(spelling.data(), spelling.data() + spelling.size(), read);
  if (r.ec != std::errc{} || r.ptr != spelling.data() + spelling.size() || !std::isfinite(read)) {
    return false;
  }
  return significant15(read) == significant15(value);
}

std::wstring importedText(const std::wstring& current, const TExcelValue& value) {
  if (value.kind == TExcelKind::Number && sameNumber(current, value.number)) {
    return current;
  }
  return excelValueText(value);
}
