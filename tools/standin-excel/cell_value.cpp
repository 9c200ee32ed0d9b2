#include "cell_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

namespace {

struct TErrorName {
  const wchar_t* text;
  std::int32_t number;
};
constexpr TErrorName kErrors[] = {{L"#NULL!", 2000}, {L"#DIV/0!", 2007}, {L"#VALUE!", 2015}, {L"#REF!", 2023},
                                  {L"#NAME?", 2029}, {L"#NUM!", 2036},   {L"#N/A", 2042}};

bool isDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

// Full-width digits, point, comma and signs read as their ASCII forms, as Excel's Japanese input does.
std::wstring narrowed(const std::wstring& text) {
  std::wstring out = text;
  for (wchar_t& ch : out) {
    if (ch >= 0xFF10 && ch <= 0xFF19) ch = static_cast<wchar_t>(L'0' + (ch - 0xFF10));
    if (ch == 0xFF0E) ch = L'.';
    if (ch == 0xFF0C) ch = L',';
    if (ch == 0xFF0D || ch == 0x2212) ch = L'-';
    if (ch == 0xFF0B) ch = L'+';
  }
  return out;
}

// "-1,234.50" -> -1234.5; *grouped tells whether thousands separators were used.
// Separators must stand between groups of three digits before the point.
std::optional<double> plainNumber(const std::wstring& text, bool* grouped) {
  std::size_t i = 0;
  std::string ascii;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ascii += static_cast<char>(text[i++]);
  std::size_t intDigits = 0;
  std::size_t sinceComma = 0;
  bool comma = false;
  for (; i < text.size() && (isDigit(text[i]) || text[i] == L','); ++i) {
    if (text[i] == L',') {
      if (intDigits == 0 || (comma && sinceComma != 3)) return std::nullopt;
      comma = true;
      sinceComma = 0;
      continue;
    }
    ascii += static_cast<char>(text[i]);
    ++intDigits;
    ++sinceComma;
  }
  if (comma && sinceComma != 3) return std::nullopt;
  std::size_t fracDigits = 0;
  if (i < text.size() && text[i] == L'.') {
    ascii += '.';
    for (++i; i < text.size() && isDigit(text[i]); ++i, ++fracDigits) ascii += static_cast<char>(text[i]);
  }
  if (i != text.size() || intDigits + fracDigits == 0) return std::nullopt;
  *grouped = comma;
  return std::strtod(ascii.c_str(), nullptr);
}

// "2026/12/10" or "2026-12-10": one separator throughout, month and day of one or two digits.
std::optional<double> plainDate(const std::wstring& text) {
  int year = 0, month = 0, day = 0, used = 0;
  for (const wchar_t* form : {L"%4d/%2d/%2d%n", L"%4d-%2d-%2d%n"}) {
    if (std::swscanf(text.c_str(), form, &year, &month, &day, &used) == 3 &&
        static_cast<std::size_t>(used) == text.size() && text.size() >= 8 && isDigit(text[0]) &&
        isDigit(text[text.size() - 1])) {
      return dateSerial(year, month, day);
    }
  }
  return std::nullopt;
}

// Days from 1970-01-01 (the civil-from-days algorithm run backwards).
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr std::int64_t kSerialOf1970 = 25569;  // 1970-01-01 as an Excel serial

}  // namespace

std::optional<std::int32_t> errorNumber(const std::wstring& text) {
  for (const TErrorName& e : kErrors) {
    if (text == e.text) return e.number;
  }
  return std::nullopt;
}

std::optional<double> dateSerial(std::int32_t year, std::int32_t month, std::int32_t day) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return std::nullopt;
  return static_cast<double>(daysFromCivil(year, month, day) + kSerialOf1970);
}

std::wstring dateText(double serial) {
  // Back from days since 1970 (the inverse of daysFromCivil).
  const std::int64_t z = static_cast<std::int64_t>(std::floor(serial)) - kSerialOf1970 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  wchar_t buffer[32] = {};
  std::swprintf(buffer, 32, L"%04lld/%02lld/%02lld", static_cast<long long>(year), static_cast<long long>(month),
                static_cast<long long>(day));
  return buffer;
}

std::wstring generalNumberText(double number) {
  wchar_t buffer[64] = {};
  std::swprintf(buffer, 64, L"%.15g", number);
  return buffer;
}

TCellValue assignedValue(const std::wstring& text, bool formattedAsText) {
  if (text.empty()) return TCellValue{};
  if (formattedAsText) return TCellValue{TCellKind::Text, text, 0.0};
  if (const auto error = errorNumber(text)) return TCellValue{TCellKind::Error, text, static_cast<double>(*error)};
  const std::wstring upper = [&] {
    std::wstring u = text;
    for (wchar_t& ch : u) ch = static_cast<wchar_t>(std::towupper(ch));
    return u;
  }();
  if (upper == L"TRUE" || upper == L"FALSE") return TCellValue{TCellKind::Bool, upper, upper == L"TRUE" ? 1.0 : 0.0};
  const std::wstring narrow = narrowed(text);
  bool grouped = false;
  if (const auto number = plainNumber(narrow, &grouped)) {
    return TCellValue{TCellKind::Number, grouped ? narrow : generalNumberText(*number), *number};
  }
  if (const auto serial = plainDate(narrow)) return TCellValue{TCellKind::Date, dateText(*serial), *serial};
  return TCellValue{TCellKind::Text, text, 0.0};
}
