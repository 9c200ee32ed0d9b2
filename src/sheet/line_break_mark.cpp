#include "sheet/line_break_mark.h"

#include <algorithm>

bool hasLineBreak(std::wstring_view text) { return text.find(kCellLineBreak) != std::wstring_view::npos; }

std::wstring textWithMarks(std::wstring_view text) {
  std::wstring shown(text);
  std::replace(shown.begin(), shown.end(), kCellLineBreak, kLineBreakMark);
  return shown;
}

std::wstring textFromEditor(std::wstring_view edited, std::wstring_view opened) {
  // Untouched, the text keeps its breaks and marks exactly, even a mark the
  // drawing's own text held.
  if (edited == textWithMarks(opened)) return std::wstring(opened);
  auto breaks = std::count(opened.begin(), opened.end(), kCellLineBreak);
  std::wstring text(edited);
  for (wchar_t& ch : text) {
    if (breaks == 0) break;
    if (ch == kLineBreakMark) {
      ch = kCellLineBreak;
      --breaks;
    }
  }
  return text;
}
