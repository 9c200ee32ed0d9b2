#include "text/portable_text_services.h"

#include <array>
#include <unordered_map>
#include <utility>

#include "text/case_fold.h"

namespace {

constexpr wchar_t kVoiced = L'\xFF9E';      // ﾞ
constexpr wchar_t kSemiVoiced = L'\xFF9F';  // ﾟ

// The wide forms of the half-width forms U+FF61..U+FF9F, in order.
constexpr std::array<wchar_t, 63> kWideKana = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x3099, 0x309A};

struct TWidthPairs {
  std::unordered_map<wchar_t, wchar_t> toWide;
  std::unordered_map<wchar_t, wchar_t> toNarrow;
  // A voiced katakana and its base and mark (wide forms), both ways.
  std::unordered_map<wchar_t, std::pair<wchar_t, wchar_t>> decomposed;
  std::unordered_map<std::uint32_t, wchar_t> composed;

  void both(wchar_t narrow, wchar_t wide) {
    toWide[narrow] = wide;
    toNarrow[wide] = narrow;
  }
  void voiced(wchar_t kana, wchar_t base, wchar_t mark) {
    decomposed[kana] = {base, mark};
    composed[(static_cast<std::uint32_t>(base) << 16) | mark] = kana;
  }

  TWidthPairs() {
    both(L' ', L'\x3000');
    for (wchar_t ch = L'!'; ch <= L'~'; ++ch) {
      // The backslash has no wide form here: U+FF3C is left as it is both ways.
      if (ch != L'\\') both(ch, static_cast<wchar_t>(ch + 0xFEE0));
    }
    const std::pair<wchar_t, wchar_t> signs[] = {{0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00A5, 0xFFE5},
                                                 {0x00A6, 0xFFE4}, {0x00AC, 0xFFE2}, {0x00AF, 0xFFE3},
                                                 {0x20A9, 0xFFE6}, {0x2985, 0xFF5F}, {0x2986, 0xFF60},
                                                 {0xFFE8, 0x2502}, {0xFFE9, 0x2190}, {0xFFEA, 0x2191},
                                                 {0xFFEB, 0x2192}, {0xFFEC, 0x2193}, {0xFFED, 0x25A0},
                                                 {0xFFEE, 0x25CB}};
    for (const auto& [narrow, wide] : signs) both(narrow, wide);
    for (std::size_t i = 0; i < kWideKana.size(); ++i) both(static_cast<wchar_t>(0xFF61 + i), kWideKana[i]);
    hangul();
    // One way only: the curly quotes narrow to the straight ones, the
    // spacing voiced marks to the half-width marks and widen to the
    // combining ones.
    toNarrow[0x2018] = L'\'';
    toNarrow[0x2019] = L'\'';
    toNarrow[0x201C] = L'"';
    toNarrow[0x201D] = L'"';
    toNarrow[0x309B] = kVoiced;
    toNarrow[0x309C] = kSemiVoiced;
    toWide[0x309B] = 0x3099;
    toWide[0x309C] = 0x309A;
    voicedKana();
  }

  void hangul() {
    both(0xFFA0, 0x3164);
    const std::array<std::pair<wchar_t, wchar_t>, 5> runs = {
        {{0xFFA1, 0xFFBE}, {0xFFC2, 0xFFC7}, {0xFFCA, 0xFFCF}, {0xFFD2, 0xFFD7}, {0xFFDA, 0xFFDC}}};
    wchar_t wide = 0x3131;
    for (const auto& [first, last] : runs) {
      for (wchar_t narrow = first; narrow <= last; ++narrow) both(narrow, wide++);
    }
  }

  void voicedKana() {
    const wchar_t voicedBases[] = {0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,
                                   0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB};
    for (const wchar_t base : voicedBases) voiced(static_cast<wchar_t>(base + 1), base, 0x3099);
    for (wchar_t base = 0x30CF; base <= 0x30DB; base = static_cast<wchar_t>(base + 3)) {
      voiced(static_cast<wchar_t>(base + 2), base, 0x309A);
    }
    voiced(0x30F4, 0x30A6, 0x3099);  // ヴ
    voiced(0x30F7, 0x30EF, 0x3099);  // ヷ
    voiced(0x30F8, 0x30F0, 0x3099);  // ヸ
    voiced(0x30F9, 0x30F1, 0x3099);  // ヹ
    voiced(0x30FA, 0x30F2, 0x3099);  // ヺ
    voiced(0x30FE, 0x30FD, 0x3099);  // ヾ
  }
};

const TWidthPairs& pairs() {
  static const TWidthPairs p;
  return p;
}

wchar_t mapped(const std::unordered_map<wchar_t, wchar_t>& map, wchar_t ch) {
  const auto it = map.find(ch);
  return it == map.end() ? ch : it->second;
}

}  // namespace

std::wstring TPortableTextServices::toHalfWidth(const std::wstring& text) {
  const TWidthPairs& p = pairs();
  std::wstring out;
  out.reserve(text.size());
  for (const wchar_t ch : text) {
    const auto voiced = p.decomposed.find(ch);
    if (voiced != p.decomposed.end()) {
      out += mapped(p.toNarrow, voiced->second.first);
      out += mapped(p.toNarrow, voiced->second.second);
    } else {
      out += mapped(p.toNarrow, ch);
    }
  }
  return out;
}

std::wstring TPortableTextServices::toFullWidth(const std::wstring& text) {
  const TWidthPairs& p = pairs();
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t wide = mapped(p.toWide, text[i]);
    // Only a half-width kana takes the mark after it into one voiced kana.
    const bool halfWidthKana = text[i] >= L'\xFF61' && text[i] <= L'\xFF9F';
    if (halfWidthKana && i + 1 < text.size() && (text[i + 1] == kVoiced || text[i + 1] == kSemiVoiced)) {
      const wchar_t mark = mapped(p.toWide, text[i + 1]);
      const auto kana = p.composed.find((static_cast<std::uint32_t>(wide) << 16) | mark);
      if (kana != p.composed.end()) {
        out += kana->second;
        ++i;
        continue;
      }
    }
    out += wide;
  }
  return out;
}

int TPortableTextServices::compareIgnoreCase(const std::wstring& a, const std::wstring& b) {
  return foldCase(a).compare(foldCase(b));
}
