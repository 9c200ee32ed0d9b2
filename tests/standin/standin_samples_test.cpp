// The samples of samples/ as the stand-in CAD selects them: a window selection
// with the default excluded layers must pick exactly the texts that the
// expected sheet shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "drawing.h"
#include "standin_test_files.h"
#include "platform/utf8.h"

namespace {

using standin::Drawing;
using standin::Entity;
using namespace standin_test;

const std::filesystem::path kSamples = std::filesystem::path(MORVANE_SOURCE_DIR) / "samples";

std::vector<std::vector<std::string>> readTsv(const std::filesystem::path& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(readFile(path.string()));
  std::string line;
  while (std::getline(in, line)) {
    EXPECT_FALSE(line.empty() || line.back() != '\r') << path << ": rows end with CR LF";
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> cells(1);
    for (const char c : line) {
      if (c == '\t') cells.emplace_back();
      else cells.back().push_back(c);
    }
    rows.push_back(cells);
  }
  return rows;
}

struct TSelection {
  std::vector<std::string> texts;  // UTF-8, sorted
  int lines = 0;
};

TSelection select(const Drawing& d, const standin::Box& window, bool filtered) {
  const std::vector<short> codes = filtered ? std::vector<short>{0, -4, 8, -4} : std::vector<short>{0};
  const std::vector<std::wstring> values = filtered
                                               ? std::vector<std::wstring>{L"TEXT,*LINE", L"<NOT", L"HOJO*,JOGAI*", L"NOT>"}
                                               : std::vector<std::wstring>{L"TEXT,*LINE"};
  TSelection s;
  for (const Entity& e : d.entities()) {
    if (!standin::insideWindow(e, window) || !standin::matchesFilter(e, codes, values)) continue;
    if (e.type == "TEXT") s.texts.push_back(toUtf8(e.text));
    else ++s.lines;
  }
  std::sort(s.texts.begin(), s.texts.end());
  return s;
}

struct TSample {
  std::string file;
  standin::Box window;
};

std::vector<TSample> samples() {
  std::vector<TSample> out;
  const auto rows = readTsv(kSamples / "selection_windows.tsv");
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const auto& r = rows[i];
    if (r.size() != 5) continue;
    out.push_back({r[0], standin::Box{std::stod(r[1]), std::stod(r[2]), std::stod(r[3]), std::stod(r[4])}});
  }
  return out;
}

std::vector<std::string> nonEmptyCells(const std::filesystem::path& tsv) {
  std::vector<std::string> cells;
  for (const auto& row : readTsv(tsv)) {
    for (const auto& cell : row) {
      if (!cell.empty()) cells.push_back(cell);
    }
  }
  std::sort(cells.begin(), cells.end());
  return cells;
}

TEST(StandinSamples, WindowSelectionPicksExactlyTheExpectedSheetsTexts) {
  const auto all = samples();
  ASSERT_EQ(all.size(), 3u);
  for (const auto& sample : all) {
    Drawing d;
    std::string error;
    ASSERT_TRUE(d.load((kSamples / sample.file).string(), &error)) << sample.file << ": " << error;
    const std::string stem = std::filesystem::path(sample.file).stem().string();
    const TSelection s = select(d, sample.window, true);
    EXPECT_EQ(s.texts, nonEmptyCells(kSamples / (stem + ".expected.tsv"))) << sample.file;
    EXPECT_GE(s.lines, 5) << sample.file;
  }
}

TEST(StandinSamples, ExcludedLayersInsideTheTableAreSelectedOnlyWithoutTheFilter) {
  Drawing d;
  ASSERT_TRUE(d.load((kSamples / "table_in_context.dxf").string(), nullptr));
  const standin::Box window{-5, 45, 165, 105};
  const TSelection filtered = select(d, window, true);
  const TSelection unfiltered = select(d, window, false);
  EXPECT_EQ(unfiltered.texts.size(), filtered.texts.size() + 2);  // the provisional note and the old price
  EXPECT_EQ(unfiltered.lines, filtered.lines + 1);                // the construction line
  EXPECT_NE(std::find(unfiltered.texts.begin(), unfiltered.texts.end(), "仮"), unfiltered.texts.end());
}

TEST(StandinSamples, EachSampleIsInItsOwnEncoding) {
  Drawing d;
  ASSERT_TRUE(d.load((kSamples / "parts_list.dxf").string(), nullptr));
  EXPECT_EQ(d.version(), "AC1015");  // Shift-JIS bytes, and \U+ for the diameter sign
  const auto& parts = d.entities();
  EXPECT_TRUE(std::any_of(parts.begin(), parts.end(), [](const Entity& e) { return e.text == L"Shaft \u230020"; }));
  ASSERT_TRUE(d.load((kSamples / "double_ruled.dxf").string(), nullptr));
  EXPECT_EQ(d.version(), "AC1018");  // ANSI_1252: every Japanese character escaped
  const auto& ruled = d.entities();
  EXPECT_TRUE(std::any_of(ruled.begin(), ruled.end(), [](const Entity& e) { return e.text == L"基本設計"; }));
  ASSERT_TRUE(d.load((kSamples / "table_in_context.dxf").string(), nullptr));
  EXPECT_EQ(d.version(), "AC1027");
}

}  // namespace
