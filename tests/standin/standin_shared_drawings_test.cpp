// The stand-in CAD's reader on real drawings written by other CAD software.
// These tests read ../shared/drawings beside the clone and skip when it is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

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
