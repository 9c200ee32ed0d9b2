#pragma once
// MTEXT strings: the codes a CAD keeps in a multi-line text, what the drawing
// shows of them, and how an edit writes a new text back without losing the
// formatting that applies to the whole text. Pure: no Windows, no CAD.
#include <string>
#include <string_view>

// A line break as the visible text of an MTEXT holds it ("\P" and "\X").
inline constexpr wchar_t kMTextLineBreak = L'\n';

// What the drawing shows of an MTEXT string: its codes decoded.
std::wstring mtextVisibleText(std::wstring_view source);

// The codes that apply to the whole text, and the content they enclose:
// source == head + content + tail.
struct TMTextParts {
  std::wstring head;
  std::wstring content;
  std::wstring tail;
};
TMTextParts splitMText(std::wstring_view source);

// A visible text as MTEXT content: '\\' -> "\\\\", '{' -> "\\{", '}' -> "\\}", kMTextLineBreak -> "\\P".
// A "%%c", "%%d" or "%%p" typed as text would show as a symbol: its first '%' goes as "\\U+0025".
std::wstring escapeMTextContent(std::wstring_view visible);

// The string an edit writes: the source's head + escapeMTextContent(visible) + the source's tail.
std::wstring composeMText(std::wstring_view source, std::wstring_view visible);

// Whether the source's content carries codes a rewritten text cannot keep:
// formatting in the middle, line breaks ("\P", "\X"), stacked fractions.
// Literal-character escapes (\\ \{ \} \~ %%c %%d %%p \U+XXXX \M+nXXXX) are no formatting.
// Codes the decoder shows as they stand (unknown or malformed ones, \M+ of a
// code page other than the Japanese one) count as formatting: a rewrite
// would write them as text.
bool mtextHasInnerFormatting(std::wstring_view source);
