// MTEXT strings: what the drawing shows of them (every string of the three
// real drawings among the cases), the split into the codes for the whole text
// and the content, the string an edit writes, and which contents a rewrite
// cannot keep.
#include <gtest/gtest.h>

#include "platform/utf8.h"
#include "text/mtext.h"

namespace {

struct TVisibleCase {
  const wchar_t* source;
  const wchar_t* visible;
};

// Expected texts worked out from the codes, not read back from the decoder.
const TVisibleCase kVisibleCases[] = {
    // qcad-tehnoloski_list.dxf: a height code before each label, \U+ for the letters beyond ASCII.
    {L"\\H2;Pregledal", L"Pregledal"},
    {L"\\H2;Izdelal", L"Izdelal"},
    {L"\\H2;Tehnolo\\U+0161ki list za izdelek", L"Tehnolo\u0161ki list za izdelek"},
    {L"\\H2;\\U+0160ola", L"\u0160ola"},
    {L"\\H2;Razred", L"Razred"},
    {L"\\H2;\\U+0160tevilka tehnolo\\U+0161kega lista", L"\u0160tevilka tehnolo\u0161kega lista"},
    {L"\\H2;Datum", L"Datum"},
    {L"\\H2;Ime in Priimek", L"Ime in Priimek"},
    {L"\\H2;Podpis", L"Podpis"},
    {L"\\H2;Ocena", L"Ocena"},
    {L"Poz.", L"Poz."},
    {L"Kos.", L"Kos."},
    {L"Del. operacija", L"Del. operacija"},
    {L"Gradivo", L"Gradivo"},
    {L"\\U+010cas", L"\u010Cas"},  // four digits exactly: "as" is text
    {L"Za\\U+0161\\U+010dita", L"Za\u0161\u010Dita"},
    {L"Pripomo\\U+010dki", L"Pripomo\u010Dki"},
    // exploded-table-7cells-mtext.dxf and exploded-table-20cells-mtext.dxf: plain cell texts.
    {L"Title", L"Title"},
    {L"1", L"1"}, {L"2", L"2"}, {L"3", L"3"}, {L"4", L"4"}, {L"5", L"5"}, {L"6", L"6"},
    {L"7", L"7"}, {L"8", L"8"}, {L"9", L"9"}, {L"10", L"10"}, {L"11", L"11"}, {L"12", L"12"},
    {L"13", L"13"}, {L"14", L"14"}, {L"15", L"15"}, {L"16", L"16"}, {L"17", L"17"},
    {L"merge merge merge merge merge merge merge merge", L"merge merge merge merge merge merge merge merge"},
    {L"line", L"line"},
    // Japanese text in a font group, as Japanese CADs write it.
    {L"{\\fＭＳ ゴシック|b0|i0|c128|p49;テキスト}", L"テキスト"},
    {L"{\\fＭＳ 明朝|b0|i0|c128|p49;\\C1;寸法\\P備考}", L"寸法\n備考"},
    {L"品名{\\H0.7x;（予備）}", L"品名（予備）"},
    // Stacked fractions, whatever their separator.
    {L"1\\S1^2;\"", L"11/2\""},
    {L"\\S3/4;", L"3/4"},
    {L"\\S+0.1#-0.2;mm", L"+0.1/-0.2mm"},
    {L"\\S12;", L"12"},
    // Percent codes, either case; other percent signs are text.
    {L"%%c50", L"\u00D850"},
    {L"90%%d", L"90\u00B0"},
    {L"%%P0.5 %%p1", L"\u00B10.5 \u00B11"},
    {L"%%C%%D", L"\u00D8\u00B0"},
    {L"100% %%x %%", L"100% %%x %%"},
    // Characters by their code.
    {L"a\\\\b\\{c\\}", L"a\\b{c}"},
    {L"a\\~b", L"a\u00A0b"},
    {L"\\U+65E5\\U+672C", L"日本"},
    {L"\\U+00e9", L"\u00E9"},
    {L"\\M+193FA\\M+182A0", L"日あ"},
    {L"\\M+1955C", L"表"},           // a trail byte that is a backslash in the code page
    {L"\\M+100B1", L"\uFF71"},       // half-width katakana, one byte
    {L"\\M+2A4A4", L"\\M+2A4A4"},    // another code page: stays as it is
    {L"\\M+1FFFF", L"\\M+1FFFF"},    // no character there
    // Formatting codes, dropped.
    {L"\\A1;\\W0.8;\\Q15;\\T1.1;\\C3;\\c255;\\Fromans|c0;\\pxqc;x", L"x"},
    {L"\\Lunder\\l \\Oover\\o \\Kstrike\\k", L"under over strike"},
    {L"{\\H0.7x;small} big", L"small big"},
    {L"a\\Pb\\Xc", L"a\nb\nc"},
    {L"a\nb", L"a\nb"},
    // Malformed: shown as it stands rather than hiding text.
    {L"{abc", L"abc"},
    {L"abc}", L"abc"},
    {L"\\H2abc", L"\\H2abc"},
    {L"\\Sab", L"\\Sab"},
    {L"abc\\", L"abc\\"},
    {L"\\", L"\\"},
    {L"\\Zx", L"\\Zx"},
    {L"\\U+12", L"\\U+12"},
    {L"\\U0041", L"\\U0041"},
    {L"\\M+1", L"\\M+1"},
    {L"\\M+9ABCD", L"\\M+9ABCD"},
    {L"", L""},
};

TEST(MText, VisibleText) {
  for (const TVisibleCase& c : kVisibleCases) {
    EXPECT_EQ(mtextVisibleText(c.source), c.visible) << toUtf8(c.source);
  }
}

// Whatever the source, the string an edit writes shows exactly the text typed.
TEST(MText, ComposedStringShowsTheTypedText) {
  const wchar_t* typed[] = {L"x", L"a\\b{c}", L"50%%d %%", L"a\nb", L"", L"\\P", L"%%%d"};
  for (const TVisibleCase& c : kVisibleCases) {
    const TMTextParts parts = splitMText(c.source);
    EXPECT_EQ(parts.head + parts.content + parts.tail, c.source) << toUtf8(c.source);
    for (const wchar_t* text : typed) {
      EXPECT_EQ(mtextVisibleText(composeMText(c.source, text)), text) << toUtf8(c.source) << " / " << toUtf8(text);
    }
  }
}

TEST(MText, Split) {
  const struct {
    const wchar_t *source, *head, *content, *tail;
  } cases[] = {
      {L"\\H2;Pregledal", L"\\H2;", L"Pregledal", L""},
      {L"Poz.", L"", L"Poz.", L""},
      {L"{\\fＭＳ ゴシック|b0|i0|c128|p49;テキスト}", L"{\\fＭＳ ゴシック|b0|i0|c128|p49;", L"テキスト", L"}"},
      {L"\\A1;\\H2.5;{\\fArial|b1;\\C1;Title}", L"\\A1;\\H2.5;{\\fArial|b1;\\C1;", L"Title", L"}"},
      {L"\\pxqc;{\\H2;x}", L"\\pxqc;{\\H2;", L"x", L"}"},
      {L"{\\H2;}", L"{\\H2;", L"", L"}"},
      {L"{a}{b}", L"", L"{a}{b}", L""},          // two groups: none around everything
      {L"{a\\}", L"", L"{a\\}", L""},            // the close brace is a character
      {L"{a{b}c}", L"{", L"a{b}c", L"}"},
      {L"\\H2;a\\Pb", L"\\H2;", L"a\\Pb", L""},
      {L"a\\H2;b", L"", L"a\\H2;b", L""},
      {L"\\H2", L"", L"\\H2", L""},
      {L"\\L{x}", L"", L"\\L{x}", L""},
      {L"", L"", L"", L""},
  };
  for (const auto& c : cases) {
    const TMTextParts parts = splitMText(c.source);
    EXPECT_EQ(parts.head, c.head) << toUtf8(c.source);
    EXPECT_EQ(parts.content, c.content) << toUtf8(c.source);
    EXPECT_EQ(parts.tail, c.tail) << toUtf8(c.source);
  }
}

TEST(MText, Compose) {
  const struct {
    const wchar_t *source, *visible, *written;
  } cases[] = {
      {L"\\H2;Pregledal", L"Pregledano", L"\\H2;Pregledano"},
      {L"{\\fＭＳ ゴシック|b0|i0|c128|p49;テキスト}", L"新しい{値}", L"{\\fＭＳ ゴシック|b0|i0|c128|p49;新しい\\{値\\}}"},
      {L"\\H2;x", L"a\\b", L"\\H2;a\\\\b"},
      {L"x", L"a\nb", L"a\\Pb"},
      {L"\\H2;a\\Pb", L"ab", L"\\H2;ab"},
      {L"\\H2;x", L"50%%d", L"\\H2;50\\U+0025%d"},
      {L"{\\C1;x}", L"", L"{\\C1;}"},
      {L"", L"abc", L"abc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(composeMText(c.source, c.visible), c.written) << toUtf8(c.source) << " / " << toUtf8(c.visible);
  }
  // A text written back unchanged is the string the CAD held.
  const wchar_t* unchanged[] = {L"\\H2;Pregledal", L"{\\fＭＳ ゴシック|b0|i0|c128|p49;テキスト}", L"Poz.",
                                L"\\A1;{\\C2;a\\\\b\\{c\\}}", L""};
  for (const wchar_t* source : unchanged) {
    EXPECT_EQ(composeMText(source, mtextVisibleText(source)), source) << toUtf8(source);
  }
}

TEST(MText, InnerFormatting) {
  const struct {
    const wchar_t* source;
    bool inner;
  } cases[] = {
      {L"\\H2;Pregledal", false},
      {L"\\H2;Tehnolo\\U+0161ki", false},
      {L"%%c50 %%d", false},
      {L"a\\\\b\\{\\}\\~", false},
      {L"\\M+182A0", false},
      {L"{\\fＭＳ ゴシック|b0|i0|c128|p49;テキスト}", false},
      {L"", false},
      {L"\\H2;a\\Pb", true},
      {L"a\\Xb", true},
      {L"a\nb", true},
      {L"a\\S1^2;", true},
      {L"ab\\H3;c", true},
      {L"a{\\C1;b}c", true},
      {L"a\\Lb\\l", true},
      {L"{a}{b}", true},
      {L"abc\\", true},       // malformed: a rewrite would not give it back
      {L"\\M+2A4A4", true},   // a character of a code page unknown here would be lost
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mtextHasInnerFormatting(c.source), c.inner) << toUtf8(c.source);
  }
}

}  // namespace
