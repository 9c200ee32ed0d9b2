// The UTF-8 codec both ways: characters of every length, and every kind of
// input that is not a character, which must read as U+FFFD without reading
// past the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/utf8.h"

namespace {

// The text as code points, whatever the width of wchar_t.
std::u32string codePoints(const std::wstring& text) {
  std::u32string out;
  for (std::size_t at = 0; at < text.size();) {
    out += nextCodePoint(text, at);
  }
  return out;
}

struct TDecodeCase {
  const char* what;
  std::string bytes;
  std::u32string chars;
};

}  // namespace

TEST(Utf8, DecodesCharactersAndReplacesWhatIsNotOne) {
  const std::vector<TDecodeCase> cases = {
      {"empty", "", U""},
      {"ASCII with a NUL", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
      {"two, three and four bytes", "\xC3\xA9\xE5\x93\x81\xF0\x9F\x98\x80", U"\u00E9\u54C1\U0001F600"},
      {"the largest character", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
      {"a continuation byte alone", "a\x80z", U"a\uFFFDz"},
      {"bytes that start nothing", "\xF8\xFF", U"\uFFFD\uFFFD"},
      {"a sequence cut by the end", "a\xE5\x93", U"a\uFFFD\uFFFD"},
      {"a lead byte at the very end", "\xF0", U"\uFFFD"},
      {"a sequence broken by ASCII", "\xE5" "A\x81", U"\uFFFDA\uFFFD"},
      {"an overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD"},
      {"an overlong three-byte form", "\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
      {"an encoded surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const TDecodeCase& c : cases) {
    const std::wstring text = fromUtf8(c.bytes);
    EXPECT_EQ(codePoints(text), c.chars) << c.what;
    // Whatever was read is written back as valid UTF-8, and reads the same again.
    EXPECT_EQ(fromUtf8(toUtf8(text)), text) << c.what;
  }
  // Four bytes become a surrogate pair where wchar_t has two bytes.
  EXPECT_EQ(fromUtf8("\xF0\x9F\x98\x80").size(), sizeof(wchar_t) == 2 ? 2u : 1u);
}

TEST(Utf8, EncodesCharactersAndReplacesLoneSurrogates) {
  EXPECT_EQ(toUtf8(L"品名 A-1"), "\xE5\x93\x81\xE5\x90\x8D A-1");
  EXPECT_EQ(toUtf8(std::wstring(L"\0x", 2)), std::string("\0x", 2));
  std::wstring pair;
  appendWide(pair, 0x1F600);
  EXPECT_EQ(toUtf8(pair), "\xF0\x9F\x98\x80");
  // A surrogate that is not half of a pair, in either order or at the end,
  // and a value no character has (where wchar_t can hold one).
  const std::vector<std::wstring> broken = {
      std::wstring(1, static_cast<wchar_t>(0xD800)) + L"a",
      L"a" + std::wstring(1, static_cast<wchar_t>(0xDC00)),
      std::wstring(1, static_cast<wchar_t>(0xDBFF)),
      std::wstring{static_cast<wchar_t>(0xDC00), static_cast<wchar_t>(0xD800)},
  };
  EXPECT_EQ(toUtf8(broken[0]), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(toUtf8(broken[1]), "a\xEF\xBF\xBD");
  EXPECT_EQ(toUtf8(broken[2]), "\xEF\xBF\xBD");
  EXPECT_EQ(toUtf8(broken[3]), "\xEF\xBF\xBD\xEF\xBF\xBD");
  if constexpr (sizeof(wchar_t) == 4) {
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
  }
  std::string out;
  appendUtf8(out, 0xD800);
  appendUtf8(out, 0x110000);
  EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, AnErrorsWhatIsItsMessageInUtf8) {
  const TMorvaneError error(L"図形は 文字 ではありません");
  EXPECT_EQ(std::string(error.what()), toUtf8(error.message()));
  try {
    throw std::runtime_error("\xE6\x96\x87\xFF");
  } catch (...) {
    EXPECT_EQ(caughtErrorMessage(), L"文\uFFFD");
  }
}
