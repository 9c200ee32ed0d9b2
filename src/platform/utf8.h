#pragma once
// UTF-8 and the program's wide strings (UTF-16 where wchar_t has two bytes,
// as on Windows; UTF-32 where it has four). Plain C++, shared by the program,
// the stand-ins, the fuzz targets and the tests, so that text crosses every
// file, log and message the same way.
//
// Whatever is not a character reads as U+FFFD, one for each byte or unit it
// spans: a byte that cannot start or continue a sequence, a sequence cut
// short, an overlong form, a surrogate, a value past U+10FFFF. Nothing throws
// and nothing is read past the end of the input.
#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementChar = 0xFFFD;

// The character that starts at `at` (which must lie inside the text), and
// `at` moved past it. An invalid sequence gives U+FFFD and moves `at` by one.
char32_t nextCodePoint(std::string_view utf8, std::size_t& at);
char32_t nextCodePoint(std::wstring_view wide, std::size_t& at);

// A character appended in either form; a surrogate or a value past U+10FFFF
// is appended as U+FFFD.
void appendUtf8(std::string& out, char32_t c);
void appendWide(std::wstring& out, char32_t c);

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);
