#include "text/win32/text_services_win32.h"

#include <windows.h>

namespace {

// Asks once for the length, then maps into a buffer of that length and cuts
// the result to what the second call wrote. A mapping that fails leaves the
// text as it is: a conversion never loses a cell's text.
std::wstring mapWidth(const std::wstring& text, DWORD flag) {
  if (text.empty()) {
    return text;
  }
  const int length = static_cast<int>(text.size());
  const int needed = LCMapStringW(LOCALE_SYSTEM_DEFAULT, flag, text.c_str(), length, nullptr, 0);
  if (needed <= 0) {
    return text;
  }
  std::wstring result(static_cast<std::size_t>(needed), L'\0');
  const int written = LCMapStringW(LOCALE_SYSTEM_DEFAULT, flag, text.c_str(), length, result.data(), needed);
  if (written <= 0) {
    return text;
  }
  result.resize(static_cast<std::size_t>(written));
  return result;
}

}  // namespace

std::wstring TTextServicesWin32::toHalfWidth(const std::wstring& text) { return mapWidth(text, LCMAP_HALFWIDTH); }

std::wstring TTextServicesWin32::toFullWidth(const std::wstring& text) { return mapWidth(text, LCMAP_FULLWIDTH); }

int TTextServicesWin32::compareIgnoreCase(const std::wstring& a, const std::wstring& b) {
  const int result = CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                                     b.c_str(), static_cast<int>(b.size()), nullptr, nullptr, 0);
  return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}
