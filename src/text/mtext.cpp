#include "text/mtext.h"

#include <cstddef>

#include "text/cp932_table.h"

namespace {

// One piece of an MTEXT string as the reader meets it.
enum class TPieceKind {
  kChar,       // a character standing for itself
  kLiteral,    // an escape for one character (\\ \{ \} \~ %%c \U+XXXX \M+1XXXX)
  kLineBreak,  // \P, \X, or a line feed in the string itself
  kFormat,     // a formatting code, dropped from the visible text
  kBrace,      // a grouping brace, dropped
  kStack,      // a stacked fraction, shown as "a/b"
  kVerbatim,   // a code this reader cannot take (unknown, cut short): shown as it stands
};

struct TPiece {
  TPieceKind kind = TPieceKind::kChar;
  std::size_t end = 0;  // one past the piece's last character
  std::wstring shown;   // what the drawing shows of it
};

// Codes whose parameter runs to a ';'. 'p' (paragraph indents and alignment)
// is not in the usual lists but is written by every recent CAD.
bool takesParameter(wchar_t code) {
  return std::wstring_view(L"HWQTACcfFp").find(code) != std::wstring_view::npos;
}
bool isSwitch(wchar_t code) { return std::wstring_view(L"LlOoKk").find(code) != std::wstring_view::npos; }

int hexValue(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  return -1;
}

// Four hex digits at `pos`, or -1.
int hex4(std::wstring_view s, std::size_t pos) {
  if (pos + 4 > s.size()) return -1;
  int value = 0;
  for (std::size_t i = pos; i < pos + 4; ++i) {
    const int digit = hexValue(s[i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

// The character of a cp932 code as \M+1 writes it: one byte (ASCII,
// half-width katakana) or lead * 256 + trail. 0 for a code with no character.
wchar_t cp932Character(int code) {
  if (code < 0x80) return static_cast<wchar_t>(code);
  if (code >= 0xA1 && code <= 0xDF) return static_cast<wchar_t>(0xFF61 + (code - 0xA1));
  const int lead = code >> 8;
  const int trail = code & 0xFF;
  int row = -1;
  if (lead >= 0x81 && lead <= 0x9F) row = lead - 0x81;
  if (lead >= 0xE0 && lead <= 0xFC) row = lead - 0xE0 + 0x1F;
  int column = -1;
  if (trail >= 0x40 && trail <= 0x7E) column = trail - 0x40;
  if (trail >= 0x80 && trail <= 0xFC) column = trail - 0x80 + 0x3F;
  if (row < 0 || column < 0) return 0;
  return static_cast<wchar_t>(kCp932Double[row * kCp932TrailCount + column]);
}

TPiece verbatim(std::wstring_view s, std::size_t pos, std::size_t end) {
  return {TPieceKind::kVerbatim, end, std::wstring(s.substr(pos, end - pos))};
}

// "a^b", "a/b" or "a#b" as the drawing shows a stacked fraction.
std::wstring stacked(std::wstring_view parameter) {
  const std::size_t split = parameter.find_first_of(L"^/#");
  if (split == std::wstring_view::npos) return std::wstring(parameter);
  return std::wstring(parameter.substr(0, split)) + L"/" + std::wstring(parameter.substr(split + 1));
}

// The code after a backslash at `pos`.
TPiece readCode(std::wstring_view s, std::size_t pos) {
  if (pos + 1 >= s.size()) return verbatim(s, pos, s.size());  // a lone backslash at the end
  const wchar_t code = s[pos + 1];
  switch (code) {
    case L'\\':
    case L'{':
    case L'}':
      return {TPieceKind::kLiteral, pos + 2, std::wstring(1, code)};
    case L'~':
      return {TPieceKind::kLiteral, pos + 2, std::wstring(1, L'\u00A0')};
    case L'P':
    case L'X':
      return {TPieceKind::kLineBreak, pos + 2, std::wstring(1, kMTextLineBreak)};
    case L'U': {
      const int value = pos + 2 < s.size() && s[pos + 2] == L'+' ? hex4(s, pos + 3) : -1;
      if (value < 0) return verbatim(s, pos, pos + 2);
      return {TPieceKind::kLiteral, pos + 7, std::wstring(1, static_cast<wchar_t>(value))};
    }
    case L'M': {
      const bool shaped = pos + 3 < s.size() && s[pos + 2] == L'+' && s[pos + 3] >= L'1' && s[pos + 3] <= L'5';
      const int value = shaped ? hex4(s, pos + 4) : -1;
      if (value < 0) return verbatim(s, pos, pos + 2);
      // Only the Japanese code page is known here; a pair of another stays as it is.
      const wchar_t ch = s[pos + 3] == L'1' ? cp932Character(value) : 0;
      if (ch == 0) return verbatim(s, pos, pos + 8);
      return {TPieceKind::kLiteral, pos + 8, std::wstring(1, ch)};
    }
    case L'S': {
      const std::size_t semicolon = s.find(L';', pos + 2);
      if (semicolon == std::wstring_view::npos) return verbatim(s, pos, pos + 2);
      return {TPieceKind::kStack, semicolon + 1, stacked(s.substr(pos + 2, semicolon - pos - 2))};
    }
    default:
      break;
  }
  if (takesParameter(code)) {
    const std::size_t semicolon = s.find(L';', pos + 2);
    // Without its ';' the code is shown as it stands rather than swallowing the text after it.
    if (semicolon == std::wstring_view::npos) return verbatim(s, pos, pos + 2);
    return {TPieceKind::kFormat, semicolon + 1, {}};
  }
  if (isSwitch(code)) return {TPieceKind::kFormat, pos + 2, {}};
  return verbatim(s, pos, pos + 2);
}

bool isPercentCode(wchar_t ch) { return std::wstring_view(L"cCdDpP").find(ch) != std::wstring_view::npos; }

wchar_t percentCharacter(wchar_t ch) {
  switch (ch) {
    case L'c':
    case L'C':
      return L'\u00D8';
    case L'd':
    case L'D':
      return L'\u00B0';
    default:
      return L'\u00B1';
  }
}

// The piece that starts at `pos` (pos < s.size()).
TPiece readPiece(std::wstring_view s, std::size_t pos) {
  const wchar_t ch = s[pos];
  if (ch == L'\\') return readCode(s, pos);
  if (ch == L'{' || ch == L'}') return {TPieceKind::kBrace, pos + 1, {}};
  if (ch == kMTextLineBreak) return {TPieceKind::kLineBreak, pos + 1, std::wstring(1, kMTextLineBreak)};
  if (ch == L'%' && pos + 2 < s.size() && s[pos + 1] == L'%' && isPercentCode(s[pos + 2])) {
    return {TPieceKind::kLiteral, pos + 3, std::wstring(1, percentCharacter(s[pos + 2]))};
  }
  return {TPieceKind::kChar, pos + 1, std::wstring(1, ch)};
}

// Codes that may stand before the content and apply to all of it.
bool isWholeTextCode(std::wstring_view s, std::size_t pos) {
  if (pos + 1 >= s.size() || s[pos] != L'\\' || !takesParameter(s[pos + 1])) return false;
  return readPiece(s, pos).kind == TPieceKind::kFormat;
}

std::size_t skipWholeTextCodes(std::wstring_view s, std::size_t pos) {
  while (isWholeTextCode(s, pos)) pos = readPiece(s, pos).end;
  return pos;
}

// Where the brace opened at `open` closes (its position), or npos.
std::size_t closingBrace(std::wstring_view s, std::size_t open) {
  int depth = 0;
  for (std::size_t pos = open; pos < s.size();) {
    const TPiece piece = readPiece(s, pos);
    if (piece.kind == TPieceKind::kBrace) {
      depth += s[pos] == L'{' ? 1 : -1;
      if (depth == 0) return pos;
    }
    pos = piece.end;
  }
  return std::wstring_view::npos;
}

}  // namespace

std::wstring mtextVisibleText(std::wstring_view source) {
  std::wstring visible;
  visible.reserve(source.size());
  for (std::size_t pos = 0; pos < source.size();) {
    const TPiece piece = readPiece(source, pos);
    visible += piece.shown;
    pos = piece.end;
  }
  return visible;
}

TMTextParts splitMText(std::wstring_view source) {
  std::size_t contentBegin = skipWholeTextCodes(source, 0);
  std::size_t contentEnd = source.size();
  if (contentBegin < source.size() && source[contentBegin] == L'{' &&
      closingBrace(source, contentBegin) == source.size() - 1) {
    contentBegin = skipWholeTextCodes(source, contentBegin + 1);
    contentEnd = source.size() - 1;
  }
  return {std::wstring(source.substr(0, contentBegin)),
          std::wstring(source.substr(contentBegin, contentEnd - contentBegin)),
          std::wstring(source.substr(contentEnd))};
}

std::wstring escapeMTextContent(std::wstring_view visible) {
  std::wstring content;
  content.reserve(visible.size());
  for (std::size_t i = 0; i < visible.size(); ++i) {
    const wchar_t ch = visible[i];
    if (ch == L'\\' || ch == L'{' || ch == L'}') {
      content += L'\\';
      content += ch;
    } else if (ch == kMTextLineBreak) {
      content += L"\\P";
    } else if (ch == L'%' && i + 2 < visible.size() && visible[i + 1] == L'%' && isPercentCode(visible[i + 2])) {
      // A typed "%%d" would read back as a degree sign: its first '%' is written by its code.
      content += L"\\U+0025";
    } else {
      content += ch;
    }
  }
  return content;
}

std::wstring composeMText(std::wstring_view source, std::wstring_view visible) {
  const TMTextParts parts = splitMText(source);
  return parts.head + escapeMTextContent(visible) + parts.tail;
}

bool mtextHasInnerFormatting(std::wstring_view source) {
  const TMTextParts parts = splitMText(source);
  const std::wstring_view content = parts.content;
  for (std::size_t pos = 0; pos < content.size();) {
    const TPiece piece = readPiece(content, pos);
    if (piece.kind != TPieceKind::kChar && piece.kind != TPieceKind::kLiteral) return true;
    pos = piece.end;
  }
  return false;
}
