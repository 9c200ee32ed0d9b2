// The width mapping and comparison through Windows: the portable pairs the
// native build uses agree with LCMapStringW over every character of the
// blocks the conversions meet, and the voiced pairs of the half-width kana.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/errors.h"
#include "text/portable_text_services.h"
#include "text/win32/text_services_win32.h"

namespace {

std::string codes(const std::wstring& text) {
  std::string out;
  char buf[8] = {};
  for (const wchar_t ch : text) {
    std::snprintf(buf, sizeof buf, " %04X", static_cast<unsigned>(ch));
    out += buf;
  }
  return out;
}

TEST(WidthMappingWin32, PortablePairsAgreeWithLCMapStringW) {
  TTextServicesWin32 windows;
  TPortableTextServices portable;
  // ASCII, Latin-1, punctuation and currency signs, arrows, box drawing and
  // shapes, the CJK symbols, hiragana and katakana, Hangul letters, and the
  // half-width and full-width forms.
  const std::pair<wchar_t, wchar_t> blocks[] = {{0x0020, 0x00FF}, {0x2010, 0x20CF}, {0x2190, 0x21FF},
                                                {0x2500, 0x25FF}, {0x2980, 0x29FF}, {0x3000, 0x30FF},
                                                {0x3130, 0x318F}, {0xFF00, 0xFFEF}};
  std::vector<std::wstring> texts;
  for (const auto& [first, last] : blocks) {
    for (wchar_t ch = first; ch <= last; ++ch) texts.emplace_back(1, ch);
  }
  for (wchar_t kana = 0xFF61; kana <= 0xFF9F; ++kana) {
    texts.push_back({kana, L'\xFF9E'});
    texts.push_back({kana, L'\xFF9F'});
  }
  texts.push_back(L"カﾞ");
  int mismatches = 0;
  for (const std::wstring& text : texts) {
    const std::wstring narrow = windows.toHalfWidth(text);
    const std::wstring wide = windows.toFullWidth(text);
    if (portable.toHalfWidth(text) != narrow || portable.toFullWidth(text) != wide) {
      ADD_FAILURE() << "for" << codes(text) << ": Windows narrow" << codes(narrow) << " wide" << codes(wide)
                    << ", portable narrow" << codes(portable.toHalfWidth(text)) << " wide"
                    << codes(portable.toFullWidth(text));
      if (++mismatches > 20) return;
    }
  }
}

TEST(WidthMappingWin32, EmptyTextStaysEmpty) {
  TTextServicesWin32 windows;
  EXPECT_EQ(windows.toHalfWidth(L""), L"");
  EXPECT_EQ(windows.toFullWidth(L""), L"");
}

TEST(CompareWin32, SortsIgnoringCaseInTheUsersLocale) {
  TTextServicesWin32 windows;
  EXPECT_EQ(windows.compareIgnoreCase(L"abc", L"ABC"), 0);
  EXPECT_EQ(windows.compareIgnoreCase(L"ａ", L"Ａ"), 0);
  EXPECT_LT(windows.compareIgnoreCase(L"a", L"B"), 0);
  EXPECT_GT(windows.compareIgnoreCase(L"b", L"A"), 0);
}

}  // namespace
