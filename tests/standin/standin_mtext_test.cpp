// MTEXT in the stand-in CAD's model: read with its codes, rewritten in place,
// and a long string kept in chunks that the reader joins again.
#include <gtest/gtest.h>

#include <string>

#include "drawing.h"
#include "standin_test_files.h"
#include "text_encoding.h"

namespace {

using standin::Drawing;
using standin::Entity;
using namespace standin_test;

const TGroups kMText = {{0, "MTEXT"}, {5, "40"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "TABLE"}, {62, "3"},
                        {100, "AcDbMText"}, {10, "12.5"}, {20, "-3.25"}, {30, "0.0"}, {40, "2.5"},
                        {41, "37.0"}, {71, "5"}, {72, "1"}, {3, "\\H2;first\\P"}, {1, "\\U+0161econd"},
                        {7, "MINCHO"}, {50, "30.0"}, {73, "1"}, {44, "1.0"},
                        {1001, "MORVANE_TEST"}, {1000, "kept"}};

Drawing loadedFrom(const TTempDir& dir, const std::string& version, const std::string& codePage,
                   const TGroups& entities) {
  writeFile(dir.file("a.dxf"), dxfText(drawingGroups(version, codePage, "80", entities)));
  Drawing d;
  std::string error;
  EXPECT_TRUE(d.load(dir.file("a.dxf"), &error)) << error;
  return d;
}

TGroups savedGroups(const Drawing& d, const TTempDir& dir, std::uint64_t handle) {
  EXPECT_TRUE(d.save(dir.file("b.dxf"), nullptr));
  Drawing again;
  EXPECT_TRUE(again.load(dir.file("b.dxf"), nullptr));
  const Entity* e = again.byHandle(handle);
  return e != nullptr ? e->groups : TGroups{};
}

TEST(StandinMText, ReadsItsFieldsAndKeepsItsCodesAsWritten) {
  struct TCase {
    const char* what;
    std::string codePage;
    TGroups groups;
    std::wstring text;
    int attachment;
    double x, height, width;
  };
  const TCase cases[] = {
      {"chunks joined, \\U+ kept, attachment and width", "ANSI_1252", kMText,
       L"\\H2;first\\P\\U+0161econd", 5, 12.5, 2.5, 37},
      {"no attachment reads as top left", "ANSI_1252",
       {{0, "MTEXT"}, {5, "41"}, {8, "0"}, {10, "1.0"}, {20, "2.0"}, {40, "3.0"}, {1, "x"}}, L"x", 1, 1, 3, 0},
      {"an embedded object's codes are not the text's", "ANSI_1252",
       {{0, "MTEXT"}, {5, "42"}, {8, "0"}, {10, "4.0"}, {20, "2.0"}, {40, "3.0"}, {71, "9"}, {1, "own"},
        {101, "Embedded Object"}, {70, "1"}, {10, "99.0"}, {40, "9.0"}, {1, "embedded"}},
       L"own", 9, 4, 3, 0},
      // Shift-JIS 寸 (90 A1) cut between two groups: the bytes are joined before decoding.
      {"a character cut between chunks", "ANSI_932",
       {{0, "MTEXT"}, {5, "43"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {40, "3.0"}, {71, "2"},
        {3, "\x90"}, {1, "\xA1\x96\x40"}},
       L"寸法", 2, 0, 3, 0},
  };
  for (const TCase& c : cases) {
    TTempDir dir;
    const Drawing d = loadedFrom(dir, "AC1015", c.codePage, c.groups);
    ASSERT_EQ(d.entities().size(), 1u) << c.what;
    const Entity& e = d.entities().front();
    EXPECT_EQ(e.objectName(), L"AcDbMText") << c.what;
    EXPECT_EQ(e.text, c.text) << c.what;
    EXPECT_EQ(e.attachment(), c.attachment) << c.what;
    EXPECT_DOUBLE_EQ(e.p1.x, c.x) << c.what;
    EXPECT_DOUBLE_EQ(e.height, c.height) << c.what;
    EXPECT_DOUBLE_EQ(e.widthFactor, c.width) << c.what;
  }
}

// A copy edited as Update edits it: only its handle and the changed fields
// differ from the source; direction, spacing, colour and xdata stay.
TEST(StandinMText, AnEditedCopyRewritesOnlyItsFieldsWhereTheyStand) {
  TTempDir dir;
  Drawing d = loadedFrom(dir, "AC1015", "ANSI_1252", kMText);
  Entity& copy = d.addCopy(*d.byHandle(0x40));
  const std::uint64_t handle = copy.handle;
  copy.text = L"\\H2;新 {x}";
  ASSERT_TRUE(copy.placeInsertionPoint({20, -9.5, 0}));
  copy.setAttachment(7);
  copy.height = 3;
  copy.layer = L"MEMO";
  copy.modified = true;
  TGroups expected = kMText;
  expected[1].second = "80";
  expected[4].second = "MEMO";
  expected[7].second = "20.0";
  expected[8].second = "-9.5";
  expected[10].second = "3.0";
  expected[12].second = "7";
  expected[14] = {1, "\\H2;\\U+65B0 {x}"};  // the file is Western: the kanji goes as an escape
  expected.erase(expected.begin() + 15);
  EXPECT_EQ(handle, 0x80u);  // the seed
  EXPECT_EQ(savedGroups(d, dir, handle), expected);
  EXPECT_EQ(savedGroups(d, dir, 0x40), kMText);
}

// The string goes into groups 3 of up to 250 bytes and a last group 1, each
// cut between characters (escapes included) and never much short of the limit.
TEST(StandinMText, LongStringsGoIntoChunksThatNeverSplitACharacter) {
  std::wstring text;
  while (text.size() < 700) text += L"{\\fＭＳ ゴシック|b0|i0|c128|p49;寸法 %%c10\\P}材質\\~SS400 ";
  struct TCase {
    const char* version;
    const char* codePage;
    bool readBackEqual;  // the Western file keeps the kanji as \U+ escapes
  };
  const TCase cases[] = {{"AC1027", "ANSI_1252", true}, {"AC1015", "ANSI_932", true}, {"AC1015", "ANSI_1252", false}};
  for (const TCase& c : cases) {
    TTempDir dir;
    Drawing d = loadedFrom(dir, c.version, c.codePage, kMText);
    Entity& e = *d.byHandle(0x40);
    e.text = text;
    e.modified = true;
    const TGroups groups = savedGroups(d, dir, 0x40);
    const int codePage = standin::dxfCodePage(c.version, c.codePage);
    std::string joined;
    std::wstring decodedPieces;
    int chunks = 0;
    bool sawLast = false;
    for (const auto& [code, value] : groups) {
      if (code != 3 && code != 1) continue;
      ASSERT_FALSE(sawLast) << c.codePage << ": a chunk after the last";
      sawLast = code == 1;
      ++chunks;
      EXPECT_LE(value.size(), 250u) << c.codePage;
      if (code == 3) {
        EXPECT_GT(value.size(), 250u - 12) << c.codePage;
      }
      joined += value;
      decodedPieces += standin::decodeDxfString(value, codePage);
    }
    EXPECT_TRUE(sawLast) << c.codePage;
    EXPECT_GE(joined.size(), 600u) << c.codePage;
    EXPECT_GE(chunks, 3) << c.codePage;
    EXPECT_EQ(joined, standin::encodeDxfString(text, codePage)) << c.codePage;
    EXPECT_EQ(decodedPieces, text) << c.codePage << ": a piece does not decode alone";
    Drawing again;
    ASSERT_TRUE(again.load(dir.file("b.dxf"), nullptr));
    const std::wstring readBack = again.byHandle(0x40)->text;
    if (c.readBackEqual) {
      EXPECT_EQ(readBack, text) << c.codePage;
    } else {
      EXPECT_EQ(standin::decodeDxfString(standin::encodeDxfString(readBack, codePage), codePage), text);
    }
  }
}

}  // namespace
