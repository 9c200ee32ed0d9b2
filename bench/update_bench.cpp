// Update of an unchanged 1000 x 30 sheet (30,000 tagged cells) against the
// fake CAD, beside the plain walk that scans the whole text list for every
// cell's handle (written out here as the reference).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "fake_cad.h"
#include "sheet/string_grid.h"
#include "table/text_lookup.h"
#include "writeback/update.h"

namespace {

constexpr int kRows = 1000;
constexpr int kCols = 30;
constexpr double kCellW = 25.0;
constexpr double kCellH = 8.0;

struct TSheet {
  TStringGrid grid;
  TTextAry texts;
  TBounds bounds;
};

// Every data cell tagged with its text's handle and showing its text.
TSheet& sheet() {
  static TSheet out;
  static const bool filled = [] {
    out.grid.setRowCount(kRows + 1);
    out.grid.setColCount(kCols + 1);
    TDblAry cols;
    TDblAry rows;
    for (int c = 0; c <= kCols; ++c) cols.push_back(c * kCellW);
    for (int r = 0; r <= kRows; ++r) rows.push_back(-r * kCellH);
    out.bounds.assign(cols, rows);
    std::int32_t tag = 0x1000;
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        TMrvText t;
        t.base = {(c - 1) * kCellW + 1.5, -(r - 1) * kCellH - 6.0, 0.0};
        t.sText = L"R" + std::to_wstring(r) + L"C" + std::to_wstring(c);
        t.sHandle = handleString(tag);
        out.grid.setCell(c, r, t.sText);
        out.grid.setTag(c, r, tag++);
        out.texts.push_back(std::move(t));
      }
    }
    return true;
  }();
  static_cast<void>(filled);
  return out;
}

void BM_UpdateUnchangedSheet(benchmark::State& state) {
  TSheet& s = sheet();
  TFakeCad cad;
  const std::unique_ptr<TCadDocument> document = cad.createApplication()->ActiveDocument();
  for (auto _ : state) {
    TUpdateCounts counts;
    updateCells(s.grid, s.texts, s.bounds, *document, counts, [] {});
    benchmark::DoNotOptimize(counts);
  }
  // Connecting made two calls; an unchanged sheet makes none.
  if (cad.calls.size() != 2) state.SkipWithError("the walk called the CAD");
}
BENCHMARK(BM_UpdateUnchangedSheet)->Unit(benchmark::kMillisecond);

// The walk as first written: findTextByHandle scans TextAry for every cell.
void BM_UpdateUnchangedSheetPlainScan(benchmark::State& state) {
  const TSheet& s = sheet();
  for (auto _ : state) {
    int changed = 0;
    for (int r = 1; r < s.grid.RowCount(); ++r) {
      for (int c = 1; c < s.grid.ColCount(); ++c) {
        const std::wstring handle = handleString(s.grid.Tag(c, r));
        if (handle == L"0") continue;
        const int i = findTextByHandle(s.texts, handle);
        if (i >= 0 && s.grid.Cell(c, r) != s.texts[static_cast<std::size_t>(i)].sText) ++changed;
      }
    }
    benchmark::DoNotOptimize(changed);
  }
}
BENCHMARK(BM_UpdateUnchangedSheetPlainScan)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
