#include "cad/cad_target.h"

namespace {

constexpr std::size_t kMaxProgIdLength = 39;

bool isHexDigit(wchar_t ch) {
  return (ch >= L'0' && ch <= L'9') || (ch >= L'a' && ch <= L'f') || (ch >= L'A' && ch <= L'F');
}

bool isAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }

bool isClassId(const std::wstring& text) {
  // Braces around groups of 8, 4, 4, 4 and 12 digits.
  static constexpr std::size_t kDashes[] = {9, 14, 19, 24};
  if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') {
    return false;
  }
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    const bool dash = i == kDashes[0] || i == kDashes[1] || i == kDashes[2] || i == kDashes[3];
    if (dash ? text[i] != L'-' : !isHexDigit(text[i])) {
      return false;
    }
  }
  return true;
}

bool isProgId(const std::wstring& text) {
  if (text.empty() || text.size() > kMaxProgIdLength || !isAsciiLetter(text.front()) || text.back() == L'.') {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t ch = text[i];
    if (ch == L'.') {
      if (text[i - 1] == L'.') return false;
    } else if (!isAsciiLetter(ch) && !(ch >= L'0' && ch <= L'9') && ch != L'_') {
      return false;
    }
  }
  return true;
}

}  // namespace

bool isCadTitle(const std::wstring& text) {
  if (text.empty()) {
    return false;
  }
  for (const wchar_t ch : text) {
    if (ch < L' ' || ch == 0x7F) {
      return false;
    }
  }
  return true;
}

TClassIdForm classIdForm(const std::wstring& text) {
  if (isClassId(text)) return TClassIdForm::ClassId;
  if (isProgId(text)) return TClassIdForm::ProgId;
  return TClassIdForm::Malformed;
}
