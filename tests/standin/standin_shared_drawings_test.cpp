// The stand-in CAD's reader on real drawings written by other CAD software.
// These tests read ../shared/drawings beside the clone and skip when it is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "drawing.h"
#include "standin_test_files.h"

namespace {

using standin::Drawing;
using namespace standin_test;

std::string sharedDrawing(const std::string& name) {
  return (std::filesystem::path(MORVANE_SHARED_DRAWINGS) / name).string();
}

#define REQUIRE_SHARED_DRAWING(path)                                                       \
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "shared drawing absent: " << (path)

std::map<std::string, int> countByType(const Drawing& d) {
  std::map<std::string, int> counts;
  for (const auto& e : d.entities()) ++counts[e.type];
  return counts;
}

TEST(StandinSharedDrawings, ProcessSheetHasItsLinesAndEscapedTexts) {
  const std::string path = sharedDrawing("qcad-tehnoloski_list-text.dxf");
  REQUIRE_SHARED_DRAWING(path);
  Drawing d;
  std::string error;
  ASSERT_TRUE(d.load(path, &error)) << error;
  EXPECT_EQ(countByType(d), (std::map<std::string, int>{{"LINE", 87}, {"TEXT", 17}}));
  const auto& all = d.entities();
  EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const auto& e) { return e.text == L"Tehnološki list za izdelek"; }));
}

TEST(StandinSharedDrawings, ExplodedTablesHaveTheirLinesAndTexts) {
  const std::string small = sharedDrawing("exploded-table-7cells.dxf");
  const std::string large = sharedDrawing("exploded-table-20cells.dxf");
  REQUIRE_SHARED_DRAWING(small);
  REQUIRE_SHARED_DRAWING(large);
  Drawing d;
  ASSERT_TRUE(d.load(small, nullptr));
  EXPECT_EQ(countByType(d), (std::map<std::string, int>{{"LINE", 8}, {"TEXT", 7}}));
  ASSERT_TRUE(d.load(large, nullptr));
  EXPECT_EQ(countByType(d), (std::map<std::string, int>{{"LINE", 21}, {"TEXT", 20}}));
}

TEST(StandinSharedDrawings, OriginalsKeepTheirMTextsOutOfATextAndLineSelection) {
  const std::string path = sharedDrawing("qcad-tehnoloski_list.dxf");
  REQUIRE_SHARED_DRAWING(path);
  Drawing d;
  ASSERT_TRUE(d.load(path, nullptr));
  EXPECT_EQ(countByType(d), (std::map<std::string, int>{{"LINE", 87}, {"MTEXT", 17}}));
  const auto& all = d.entities();
  const auto selected = std::count_if(all.begin(), all.end(),
                                      [](const auto& e) { return standin::matchesFilter(e, {0}, {L"TEXT,*LINE"}); });
  EXPECT_EQ(selected, 87);
}

// Each MTEXT as ezdxf reads it: its string with the codes as written, its
// attachment, height and reference width; and a selection that names MTEXT takes them all.
TEST(StandinSharedDrawings, MTextDrawingsHaveEveryMTextWithItsCodesAttachmentAndHeight) {
  struct TSample {
    std::uint64_t handle;
    std::wstring text;
    int attachment;
    double height;
    double width;
  };
  struct TCase {
    const char* file;
    int lines;
    int mtexts;
    std::vector<TSample> samples;
  };
  const TCase cases[] = {
      {"qcad-tehnoloski_list.dxf", 87, 17,
       {{0x7C, L"\\H2;Tehnolo\\U+0161ki list za izdelek", 1, 1, 0},
        {0x80, L"\\H2;Datum", 7, 1, 0},
        {0x8C, L"Za\\U+0161\\U+010dita", 7, 5, 0}}},
      {"exploded-table-7cells-mtext.dxf", 8, 7, {{0x2F, L"Title", 5, 6, 453}, {0x33, L"4", 2, 4.5, 149}}},
      {"exploded-table-20cells-mtext.dxf", 21, 20,
       {{0x36, L"merge merge merge merge merge merge merge merge", 2, 4.5, 77}, {0x42, L"line", 2, 4.5, 37}}},
  };
  for (const TCase& c : cases) {
    const std::string path = sharedDrawing(c.file);
    REQUIRE_SHARED_DRAWING(path);
    Drawing d;
    std::string error;
    ASSERT_TRUE(d.load(path, &error)) << c.file << ": " << error;
    EXPECT_EQ(countByType(d), (std::map<std::string, int>{{"LINE", c.lines}, {"MTEXT", c.mtexts}})) << c.file;
    for (const TSample& sample : c.samples) {
      const standin::Entity* e = d.byHandle(sample.handle);
      ASSERT_NE(e, nullptr) << c.file << " " << std::hex << sample.handle;
      EXPECT_EQ(e->text, sample.text) << c.file;
      EXPECT_EQ(e->attachment(), sample.attachment) << c.file << " " << std::hex << sample.handle;
      EXPECT_DOUBLE_EQ(e->height, sample.height) << c.file;
      EXPECT_DOUBLE_EQ(e->widthFactor, sample.width) << c.file;
    }
    const auto& all = d.entities();
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [](const auto& e) { return standin::matchesFilter(e, {0}, {L"TEXT,MTEXT,*LINE"}); }),
              c.lines + c.mtexts)
        << c.file;
  }
}

TEST(StandinSharedDrawings, EveryDrawingIsWrittenBackByteForByte) {
  if (!std::filesystem::is_directory(MORVANE_SHARED_DRAWINGS))
    GTEST_SKIP() << "shared drawings absent: " << MORVANE_SHARED_DRAWINGS;
  TTempDir dir;
  int checked = 0;
  for (const auto& item : std::filesystem::directory_iterator(MORVANE_SHARED_DRAWINGS)) {
    if (item.path().extension() != ".dxf") continue;
    Drawing d;
    std::string error;
    ASSERT_TRUE(d.load(item.path().string(), &error)) << item.path() << ": " << error;
    ASSERT_TRUE(d.save(dir.file("out.dxf"), &error)) << error;
    EXPECT_TRUE(readFile(item.path().string()) == readFile(dir.file("out.dxf"))) << item.path();
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
