#pragma once
// Line breaks in a cell's text (an MTEXT's "\P"): the sheet draws one line
// per cell, so each break shows as a mark, and typing cannot make a break.
#include <string>
#include <string_view>

// A line break as a cell's text holds it.
inline constexpr wchar_t kCellLineBreak = L'\n';
// What the sheet shows for it: the pilcrow, a character of the Japanese code
// page and so a glyph of every Japanese font (the return arrows are not).
inline constexpr wchar_t kLineBreakMark = L'\u00B6';

bool hasLineBreak(std::wstring_view text);

// The text as the sheet and its editor show it: each line break a mark.
std::wstring textWithMarks(std::wstring_view text);

// The cell's text from its editor's: marks become line breaks again, but no
// more of them than `opened` (the cell's text when the editor took it up)
// held; further marks, typed or pasted, stay characters. An editor text that
// is what `opened` showed gives `opened` back as it was.
std::wstring textFromEditor(std::wstring_view edited, std::wstring_view opened);
