// The stand-in CAD's string encodings: code pages, UTF-8 and \U+XXXX escapes,
// in memory and through files.
#include <gtest/gtest.h>

#include <string>

#include "drawing.h"
#include "undo_history.h"
#include "standin_test_files.h"
#include "platform/utf8.h"
#include "text_encoding.h"

namespace {

using namespace standin;
using namespace standin_test;

TEST(StandinText, CodePageFollowsVersionAndHeader) {
  EXPECT_EQ(dxfCodePage("AC1015", "ANSI_932"), 932);
  EXPECT_EQ(dxfCodePage("AC1018", "ansi_1252"), 1252);
  EXPECT_EQ(dxfCodePage("AC1009", "ANSI_1250"), 1250);
  EXPECT_EQ(dxfCodePage("AC1021", "ANSI_932"), kCodePageUtf8);  // from AC1021 on, always UTF-8
  EXPECT_EQ(dxfCodePage("AC1032", ""), kCodePageUtf8);
  EXPECT_EQ(dxfCodePage("AC1015", "DOS437"), kCodePageLatin1);
  EXPECT_EQ(dxfCodePage("AC1015", "ANSI_1259"), kCodePageLatin1);
}

TEST(StandinText, ShiftJisDecodesKanjiKanaAndHalfWidthKatakana) {
  // 品名 (0x95 0x69 0x96 0xBC), ソ (0x83 0x5C: its trail byte is a backslash), ｱ (0xB1)
  EXPECT_EQ(decodeDxfString("\x95\x69\x96\xBC", 932), L"品名");
  EXPECT_EQ(decodeDxfString("\x83\x5C" "A", 932), L"ソA");
  EXPECT_EQ(decodeDxfString("\xB1", 932), L"ｱ");
  EXPECT_EQ(decodeDxfString("\x81\x40", 932), L"\u3000");  // ideographic space
  EXPECT_EQ(decodeDxfString("\x95", 932), L"\uFFFD");       // a lead byte at the end
}

TEST(StandinText, ShiftJisEncodesWhatItCanAndEscapesTheRest) {
  EXPECT_EQ(encodeDxfString(L"品名", 932), "\x95\x69\x96\xBC");
  EXPECT_EQ(encodeDxfString(L"ソｱ", 932), "\x83\x5C\xB1");
  EXPECT_EQ(encodeDxfString(L"Ω€", 932), "\x83\xB6\\U+20AC");  // Ω is in cp932, the euro sign is not
  EXPECT_EQ(decodeDxfString(encodeDxfString(L"数量 単価 備考 ①", 932), 932), L"数量 単価 備考 ①");
}

TEST(StandinText, WesternCodePageAndLatin1) {
  EXPECT_EQ(decodeDxfString("\x80 \xE9", 1252), L"€ é");
  EXPECT_EQ(encodeDxfString(L"€ é", 1252), "\x80 \xE9");
  EXPECT_EQ(encodeDxfString(L"Šola 品", 1252), "\x8Aola \\U+54C1");
  EXPECT_EQ(decodeDxfString("\x8A", 1250), L"Š");
  EXPECT_EQ(decodeDxfString("\xE9", kCodePageLatin1), L"é");
}

TEST(StandinText, Utf8BothWaysAndInvalidBytes) {
  EXPECT_EQ(decodeDxfString("\xE5\x93\x81\xE5\x90\x8D", kCodePageUtf8), L"品名");
  EXPECT_EQ(encodeDxfString(L"品名", kCodePageUtf8), "\xE5\x93\x81\xE5\x90\x8D");
  EXPECT_EQ(decodeDxfString("a\xE5\x93", kCodePageUtf8), L"a\uFFFD\uFFFD");
  EXPECT_EQ(decodeDxfString("\xC0\xAF", kCodePageUtf8), L"\uFFFD\uFFFD");  // overlong
}

TEST(StandinText, UnicodeEscapesAreDecodedInEveryCodePage) {
  EXPECT_EQ(decodeDxfString("Tehnolo\\U+0161ki", 1252), L"Tehnološki");
  EXPECT_EQ(decodeDxfString("\\U+010cas", 1252), L"Čas");  // lower-case digits, letters after
  EXPECT_EQ(decodeDxfString("\\U+54C1\\U+540D", kCodePageUtf8), L"品名");
  EXPECT_EQ(decodeDxfString("\\U+54C", 1252), L"\\U+54C");  // too short: left as written
  EXPECT_EQ(decodeDxfString("\\U+D83D\\U+DE00", 1252), fromUtf8("\xF0\x9F\x98\x80"));  // a surrogate pair
}

TEST(StandinText, ControlCharactersAreEscapedSoALineCannotBreakTheFile) {
  EXPECT_EQ(encodeDxfString(L"a\r\nb", kCodePageUtf8), "a\\U+000D\\U+000Ab");
  EXPECT_EQ(decodeDxfString("a\\U+000D\\U+000Ab", kCodePageUtf8), L"a\r\nb");
}

TEST(StandinText, ShiftJisFileReadsAndEditedTextIsWrittenInShiftJis) {
  TTempDir dir;
  const TGroups text = {{0, "TEXT"}, {5, "30"}, {8, "\x95\x5C"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"},
                        {40, "2.5"}, {1, "\x95\x69\x96\xBC"}, {7, "\x96\xBE\x92\xA9"}};  // layer 表, style 明朝
  writeFile(dir.file("a.dxf"), dxfText(drawingGroups("AC1015", "ANSI_932", "40", text)));
  Drawing d;
  ASSERT_TRUE(d.load(dir.file("a.dxf"), nullptr));
  Entity& t = *d.byHandle(0x30);
  EXPECT_EQ(t.text, L"品名");
  EXPECT_EQ(t.layer, L"表");
  EXPECT_EQ(t.style, L"明朝");
  t.text = L"数量€";
  t.modified = true;
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  const std::string saved = readFile(dir.file("b.dxf"));
  EXPECT_NE(saved.find("  1\r\n\x90\x94\x97\xCA\\U+20AC\r\n"), std::string::npos);
  Drawing again;
  ASSERT_TRUE(again.load(dir.file("b.dxf"), nullptr));
  EXPECT_EQ(again.byHandle(0x30)->text, L"数量€");
  EXPECT_EQ(again.byHandle(0x30)->layer, L"表");
}

TEST(StandinText, NewerFilesAreUtf8WhateverTheirCodePageSays) {
  TTempDir dir;
  const TGroups text = {{0, "TEXT"}, {5, "30"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbText"},
                        {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {40, "2.5"}, {1, "\xE5\x93\x81\xE5\x90\x8D"},
                        {100, "AcDbText"}};
  writeFile(dir.file("a.dxf"), dxfText(drawingGroups("AC1027", "ANSI_932", "40", text)));
  Drawing d;
  ASSERT_TRUE(d.load(dir.file("a.dxf"), nullptr));
  Entity& t = *d.byHandle(0x30);
  EXPECT_EQ(t.text, L"品名");
  t.text = L"備考\n2";
  t.modified = true;
  ASSERT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  EXPECT_NE(readFile(dir.file("b.dxf")).find("\xE5\x82\x99\xE8\x80\x83\\U+000A" "2\r\n"), std::string::npos);
  Drawing again;
  ASSERT_TRUE(again.load(dir.file("b.dxf"), nullptr));
  EXPECT_EQ(again.byHandle(0x30)->text, L"備考\n2");
  EXPECT_EQ(again.entities().size(), 1u);
}

}  // namespace

namespace {

TEST(StandinText, MTextAndAttributesReadTheirOwnGroups) {
  using namespace standin_test;
  TTempDir dir;
  const TGroups entities = {
      {0, "MTEXT"}, {5, "40"}, {8, "0"}, {10, "5.0"}, {20, "6.0"}, {40, "2.5"}, {71, "5"},
      {3, "first part "}, {1, "\\U+54C1\\Plast"},
      {0, "INSERT"}, {5, "41"}, {8, "0"}, {66, "1"}, {2, "TITLE"}, {10, "0.0"}, {20, "0.0"},
      {0, "ATTRIB"}, {5, "42"}, {330, "41"}, {8, "0"}, {10, "1.0"}, {20, "1.0"}, {40, "2.0"}, {1, "value"},
      {2, "TAG"}, {70, "0"}, {73, "12"}, {72, "1"}, {74, "2"},
      {0, "SEQEND"}, {5, "43"}, {330, "41"}, {8, "0"}};
  writeFile(dir.file("a.dxf"), dxfText(drawingGroups("AC1009", "ANSI_1252", "50", entities)));
  standin::Drawing d;
  ASSERT_TRUE(d.load(dir.file("a.dxf"), nullptr));
  ASSERT_EQ(d.entities().size(), 2u);  // the attribute belongs to its block reference
  const standin::Entity& m = *d.byHandle(0x40);
  EXPECT_EQ(m.text, L"first part \\U+54C1\\Plast");  // \U+ is one of the MTEXT's codes, kept as written
  EXPECT_EQ(m.halign, 1);  // attachment 5: middle centre
  EXPECT_EQ(m.valign, 2);
  EXPECT_EQ(m.objectName(), L"AcDbMText");
  const standin::Entity& insert = *d.byHandle(0x41);
  EXPECT_EQ(insert.text, L"TITLE");
  EXPECT_EQ(d.byHandle(0x42), nullptr);
}

}  // namespace

namespace {

// Where a text lands when a client sets one of its points, per alignment.
TEST(StandinText, PlacingATextFollowsTheCadsAlignmentRules) {
  const struct {
    int alignment;
    bool byInsertion;  // else by the alignment point
    bool allowed;
    standin::Point p1, p2;  // after moving to (10, 20)
  } cases[] = {
      {0, true, true, {10, 20, 0}, {5, 6, 0}},     // left: by its insertion point
      {0, false, false, {1, 2, 0}, {5, 6, 0}},     // left has no alignment point to set
      {3, true, true, {10, 20, 0}, {5, 6, 0}},     // aligned: each end of the baseline alone
      {3, false, true, {1, 2, 0}, {10, 20, 0}},
      {5, true, true, {10, 20, 0}, {5, 6, 0}},     // fit likewise
      {1, true, false, {1, 2, 0}, {5, 6, 0}},      // centre: the insertion point is the CAD's
      {1, false, true, {6, 16, 0}, {10, 20, 0}},   // ... the alignment point moves the whole text
      {10, false, true, {6, 16, 0}, {10, 20, 0}},  // middle centre
      {14, true, false, {1, 2, 0}, {5, 6, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.alignment) + (c.byInsertion ? " insertion" : " alignment"));
    standin::Entity e;
    e.type = "TEXT";
    e.setAlignment(c.alignment);
    e.p1 = {1, 2, 0};
    e.p2 = {5, 6, 0};
    const standin::Point to{10, 20, 0};
    EXPECT_EQ(c.byInsertion ? e.placeInsertionPoint(to) : e.placeAlignmentPoint(to), c.allowed);
    EXPECT_EQ(e.modified, c.allowed);
    EXPECT_DOUBLE_EQ(e.p1.x, c.p1.x);
    EXPECT_DOUBLE_EQ(e.p1.y, c.p1.y);
    EXPECT_DOUBLE_EQ(e.p2.x, c.p2.x);
    EXPECT_DOUBLE_EQ(e.p2.y, c.p2.y);
  }
}

}  // namespace

namespace {

// Groups of writes undone in one step each; a write outside a group is a group of its own.
TEST(StandinUndo, EachGroupAndEachLoneWriteIsUndoneInOneStep) {
  standin::Drawing drawing;
  standin::UndoHistory undo;
  standin::Entity text;
  text.type = "TEXT";
  text.text = L"a";
  const auto texts = [&drawing] {
    std::wstring out;
    for (const auto& e : drawing.entities()) out += e.text + L";";
    return out;
  };
  undo.beforeWrite(drawing);  // a lone write
  const std::uint64_t h = drawing.addCopy(text).handle;
  undo.startMark(drawing);
  undo.startMark(drawing);  // nested: the same group
  undo.beforeWrite(drawing);
  drawing.byHandle(h)->text = L"b";
  undo.endMark();
  undo.beforeWrite(drawing);
  drawing.addCopy(text);
  undo.endMark();
  undo.beforeWrite(drawing);  // another lone write
  drawing.erase(h);
  EXPECT_EQ(texts(), L"a;");
  EXPECT_EQ(undo.groups(), 3u);

  ASSERT_TRUE(undo.undo(drawing));
  EXPECT_EQ(texts(), L"b;a;");
  ASSERT_TRUE(undo.undo(drawing));
  EXPECT_EQ(texts(), L"a;");
  ASSERT_TRUE(undo.undo(drawing));
  EXPECT_EQ(texts(), L"");
  EXPECT_FALSE(undo.undo(drawing));
}

}  // namespace
