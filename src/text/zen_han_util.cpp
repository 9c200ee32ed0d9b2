#include "text/zen_han_util.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zenHanUtil {
namespace {

// clang-format off
constexpr std::array<const wchar_t*, 84> kZenKana = {
    L"ヴ", L"ガ", L"ギ", L"グ", L"ゲ", L"ゴ", L"ザ", L"ジ", L"ズ", L"ゼ", L"ゾ", L"ダ", L"ヂ", L"ヅ", L"デ", L"ド",
    L"バ", L"ビ", L"ブ", L"ベ", L"ボ", L"パ", L"ピ", L"プ", L"ペ", L"ポ",
    L"ヲ", L"ァ", L"ィ", L"ゥ", L"ェ", L"ォ", L"ャ", L"ュ", L"ョ", L"ッ", L"ー",
    L"ア", L"イ", L"ウ", L"エ", L"オ", L"カ", L"キ", L"ク", L"ケ", L"コ", L"サ", L"シ", L"ス", L"セ", L"ソ",
    L"タ", L"チ", L"ツ", L"テ", L"ト", L"ナ", L"ニ", L"ヌ", L"ネ", L"ノ", L"ハ", L"ヒ", L"フ", L"ヘ", L"ホ",
    L"マ", L"ミ", L"ム", L"メ", L"モ", L"ヤ", L"ユ", L"ヨ", L"ラ", L"リ", L"ル", L"レ", L"ロ", L"ワ", L"ン",
    L"「", L"」"};
constexpr std::array<const wchar_t*, 84> kHanKana = {
    L"ｳﾞ", L"ｶﾞ", L"ｷﾞ", L"ｸﾞ", L"ｹﾞ", L"ｺﾞ", L"ｻﾞ", L"ｼﾞ", L"ｽﾞ", L"ｾﾞ", L"ｿﾞ", L"ﾀﾞ", L"ﾁﾞ", L"ﾂﾞ", L"ﾃﾞ", L"ﾄﾞ",
    L"ﾊﾞ", L"ﾋﾞ", L"ﾌﾞ", L"ﾍﾞ", L"ﾎﾞ", L"ﾊﾟ", L"ﾋﾟ", L"ﾌﾟ", L"ﾍﾟ", L"ﾎﾟ",
    L"ｦ", L"ｧ", L"ｨ", L"ｩ", L"ｪ", L"ｫ", L"ｬ", L"ｭ", L"ｮ", L"ｯ", L"ｰ",
    L"ｱ", L"ｲ", L"ｳ", L"ｴ", L"ｵ", L"ｶ", L"ｷ", L"ｸ", L"ｹ", L"ｺ", L"ｻ", L"ｼ", L"ｽ", L"ｾ", L"ｿ",
    L"ﾀ", L"ﾁ", L"ﾂ", L"ﾃ", L"ﾄ", L"ﾅ", L"ﾆ", L"ﾇ", L"ﾈ", L"ﾉ", L"ﾊ", L"ﾋ", L"ﾌ", L"ﾍ", L"ﾎ",
    L"ﾏ", L"ﾐ", L"ﾑ", L"ﾒ", L"ﾓ", L"ﾔ", L"ﾕ", L"ﾖ", L"ﾗ", L"ﾘ", L"ﾙ", L"ﾚ", L"ﾛ", L"ﾜ", L"ﾝ",
    L"｢", L"｣"};
constexpr std::array<const wchar_t*, 10> kZenNum = {L"０", L"１", L"２", L"３", L"４", L"５", L"６", L"７", L"８", L"９"};
constexpr std::array<const wchar_t*, 10> kHanNum = {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"};
constexpr std::array<const wchar_t*, 52> kZenAlpha = {
    L"Ａ", L"Ｂ", L"Ｃ", L"Ｄ", L"Ｅ", L"Ｆ", L"Ｇ", L"Ｈ", L"Ｉ", L"Ｊ", L"Ｋ", L"Ｌ", L"Ｍ",
    L"Ｎ", L"Ｏ", L"Ｐ", L"Ｑ", L"Ｒ", L"Ｓ", L"Ｔ", L"Ｕ", L"Ｖ", L"Ｗ", L"Ｘ", L"Ｙ", L"Ｚ",
    L"ａ", L"ｂ", L"ｃ", L"ｄ", L"ｅ", L"ｆ", L"ｇ", L"ｈ", L"ｉ", L"ｊ", L"ｋ", L"ｌ", L"ｍ",
    L"ｎ", L"ｏ", L"ｐ", L"ｑ", L"ｒ", L"ｓ", L"ｔ", L"ｕ", L"ｖ", L"ｗ", L"ｘ", L"ｙ", L"ｚ"};
constexpr std::array<const wchar_t*, 52> kHanAlpha = {
    L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I", L"J", L"K", L"L", L"M",
    L"N", L"O", L"P", L"Q", L"R", L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z",
    L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"i", L"j", L"k", L"l", L"m",
    L"n", L"o", L"p", L"q", L"r", L"s", L"t", L"u", L"v", L"w", L"x", L"y", L"z"};
constexpr std::array<const wchar_t*, 33> kZenSym = {
    L"！", L"\x201D", L"＃", L"＄", L"％", L"＆", L"\x2019", L"\x3000", L"（", L"）", L"＊", L"＋", L"，", L"－", L"．", L"／",
    L"：", L"；", L"＜", L"＝", L"＞", L"？", L"＠", L"［", L"］", L"＾", L"＿", L"\x2018", L"｛", L"｝", L"｜", L"～",
    L"\xFFE5"};
constexpr std::array<const wchar_t*, 33> kHanSym = {
    L"!", L"\"", L"#", L"$", L"%", L"&", L"'", L" ", L"(", L")", L"*", L"+", L",", L"-", L".", L"/",
    L":", L";", L"<", L"=", L">", L"?", L"@", L"[", L"]", L"^", L"_", L"`", L"{", L"}", L"|", L"~",
    L"\\"};
// clang-format on

const TPairTable kKana{kZenKana, kHanKana};
const TPairTable kNum{kZenNum, kHanNum};
const TPairTable kAlpha{kZenAlpha, kHanAlpha};
const TPairTable kSym{kZenSym, kHanSym};

// One direction of one table, for a single pass. In the tables every source
// is one character or a character with a voiced mark, the two-character rows
// come before the one-character rows, no source is part of another row's
// target, and no target holds a source; so taking the two-character sources
// first at each place gives what the passes in table order give.
class TOnePass {
 public:
  TOnePass(std::span<const wchar_t* const> from, std::span<const wchar_t* const> to) {
    for (std::size_t i = 0; i < from.size(); ++i) {
      const std::wstring source = from[i];
      if (source.size() == 2) {
        FPairs.emplace((static_cast<std::uint32_t>(source[0]) << 16) | source[1], to[i]);
      } else {
        FSingles.emplace(source[0], to[i]);
      }
    }
  }

  void apply(std::wstring& text) const {
    std::size_t first = 0;
    while (first < text.size() && !FSingles.count(text[first]) && !pairAt(text, first)) ++first;
    if (first == text.size()) {
      return;  // nothing of this class: the text stays as it is
    }
    std::wstring out(text, 0, first);
    out.reserve(text.size() + 8);
    for (std::size_t i = first; i < text.size(); ++i) {
      if (const wchar_t* pair = pairAt(text, i)) {
        out += pair;
        ++i;
      } else if (const auto single = FSingles.find(text[i]); single != FSingles.end()) {
        out += single->second;
      } else {
        out += text[i];
      }
    }
    text = std::move(out);
  }

 private:
  const wchar_t* pairAt(const std::wstring& text, std::size_t i) const {
    if (FPairs.empty() || i + 1 >= text.size()) return nullptr;
    const auto it = FPairs.find((static_cast<std::uint32_t>(text[i]) << 16) | text[i + 1]);
    return it == FPairs.end() ? nullptr : it->second;
  }

  std::unordered_map<std::uint32_t, const wchar_t*> FPairs;
  std::unordered_map<wchar_t, const wchar_t*> FSingles;
};

const TOnePass& toZen(const TPairTable& table) {
  static const TOnePass kana(kKana.han, kKana.zen), num(kNum.han, kNum.zen), alpha(kAlpha.han, kAlpha.zen),
      sym(kSym.han, kSym.zen);
  return &table == &kKana ? kana : &table == &kNum ? num : &table == &kAlpha ? alpha : sym;
}

const TOnePass& toHan(const TPairTable& table) {
  static const TOnePass kana(kKana.zen, kKana.han), num(kNum.zen, kNum.han), alpha(kAlpha.zen, kAlpha.han),
      sym(kSym.zen, kSym.han);
  return &table == &kKana ? kana : &table == &kNum ? num : &table == &kAlpha ? alpha : sym;
}

}  // namespace

const TPairTable& kanaTable() { return kKana; }
const TPairTable& numTable() { return kNum; }
const TPairTable& alphaTable() { return kAlpha; }
const TPairTable& symTable() { return kSym; }

void hanKanaToZen(std::wstring& text) { toZen(kKana).apply(text); }
void hanNumToZen(std::wstring& text) { toZen(kNum).apply(text); }
void hanAlphaToZen(std::wstring& text) { toZen(kAlpha).apply(text); }
void hanSymToZen(std::wstring& text) { toZen(kSym).apply(text); }
void zenKanaToHan(std::wstring& text) { toHan(kKana).apply(text); }
void zenNumToHan(std::wstring& text) { toHan(kNum).apply(text); }
void zenAlphaToHan(std::wstring& text) { toHan(kAlpha).apply(text); }
void zenSymToHan(std::wstring& text) { toHan(kSym).apply(text); }

void zenToHan(std::wstring& text, TTextServices& services) { text = services.toHalfWidth(text); }
void hanToZen(std::wstring& text, TTextServices& services) { text = services.toFullWidth(text); }

}  // namespace zenHanUtil
