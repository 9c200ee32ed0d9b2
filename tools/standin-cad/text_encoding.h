// Strings of a DXF file: bytes in the file's code page (or UTF-8) with
// \U+XXXX escapes for characters that code page lacks, and UTF-16 inside.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standin {

inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kCodePageLatin1 = 28591;

// The code page strings of a file are written in: UTF-8 from AC1021 on,
// otherwise the one $DWGCODEPAGE names ("ANSI_932", "ANSI_1252", ...).
// A name this model does not know reads as Latin-1, which at least keeps
// every byte.
int dxfCodePage(std::string_view acadVersion, std::string_view dwgCodePage);

// The $DWGCODEPAGE name a file of that code page carries.
std::string dxfCodePageName(int codePage);

// File bytes to text, with \U+XXXX escapes decoded. Bytes that are not a
// character of the code page become U+FFFD.
std::wstring decodeDxfString(std::string_view raw, int codePage);

// File bytes to text, \U+XXXX left as written: in an MTEXT it is one of the
// text's own codes, which the CAD hands out as they are.
std::wstring decodeDxfBytes(std::string_view raw, int codePage);

// Text to file bytes; a character the code page cannot hold is written as
// \U+XXXX, as other CAD programs write it, so nothing is lost. So are control
// characters: a line break in a value would cut the file's group in two.
std::string encodeDxfString(std::wstring_view text, int codePage);

// encodeDxfString in pieces of at most maxBytes bytes (at least one piece),
// cut only between characters, so that no multi-byte character or escape is
// split: an MTEXT longer than a group holds goes into several.
std::vector<std::string> encodeDxfChunks(std::wstring_view text, int codePage, std::size_t maxBytes);

}  // namespace standin
