#include "text/case_fold.h"

namespace {

bool within(wchar_t ch, wchar_t first, wchar_t last) { return ch >= first && ch <= last; }

wchar_t shifted(wchar_t ch, int by) { return static_cast<wchar_t>(ch + by); }

}  // namespace

wchar_t foldCase(wchar_t ch) {
  if (within(ch, L'A', L'Z')) return shifted(ch, 0x20);
  if (within(ch, L'\xFF21', L'\xFF3A')) return shifted(ch, 0x20);  // Ａ..Ｚ
  if (within(ch, L'\x00C0', L'\x00DE') && ch != L'\x00D7') return shifted(ch, 0x20);
  if (within(ch, L'\x0391', L'\x03A9') && ch != L'\x03A2') return shifted(ch, 0x20);
  if (within(ch, L'\x0410', L'\x042F')) return shifted(ch, 0x20);
  if (within(ch, L'\x0400', L'\x040F')) return shifted(ch, 0x50);
  return ch;
}

std::wstring foldCase(std::wstring text) {
  for (wchar_t& ch : text) ch = foldCase(ch);
  return text;
}
