// Acquire's table work and the undo history on a large table, each beside the
// plain algorithm it replaces (written out here as the reference): the cell
// search that scans every row and column per text, and the history that scans
// the whole list for a sheet's newest entry on every Add and Undo.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "fake_desktop.h"
#include "literal_fill.h"
#include "sheet/undo_cells.h"
#include "table/bounds.h"
#include "sheet/sheet_fill.h"
#include "sheet/string_grid.h"

namespace {

constexpr int kRows = 1000;
constexpr int kCols = 30;
constexpr double kCellW = 25.0;
constexpr double kCellH = 8.0;
constexpr double kTolerance = 0.1;

// 1000 x 30 cells: 1001 horizontal and 31 vertical rules (1,032 lines, listed
// as a drawing lists them: rules and texts interleaved in no particular
// order is immaterial here), one text in every cell (30,000 texts).
struct TTable {
  TLineAry lines;
  TTextAry texts;
};

const TTable& table() {
  static const TTable t = [] {
    TTable out;
    for (int c = 0; c <= kCols; ++c) {
      const double x = c * kCellW;
      out.lines.push_back({{x, 0.0, 0.0}, {x, -kRows * kCellH, 0.0}});
    }
    for (int r = 0; r <= kRows; ++r) {
      // Every other rule drawn from right to left, a little off, as real
      // drawings have them.
      const double y = -r * kCellH + (r % 2 == 0 ? 0.0 : 0.01);
      out.lines.push_back(r % 2 == 0 ? TMrvLine{{0.0, y, 0.0}, {kCols * kCellW, y, 0.0}}
                                     : TMrvLine{{kCols * kCellW, y, 0.0}, {0.0, y, 0.0}});
    }
    std::uint32_t handle = 0x1000;
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kCols; ++c) {
        TMrvText t;
        t.base = {c * kCellW + 1.5, -r * kCellH - 6.0, 0.0};
        t.sText = L"R" + std::to_wstring(r) + L"C" + std::to_wstring(c);
        wchar_t buf[16] = {};
        std::swprintf(buf, 16, L"%X", handle++);
        t.sHandle = buf;
        out.texts.push_back(std::move(t));
      }
    }
    return out;
  }();
  return t;
}

void BM_BoundsAndFill(benchmark::State& state) {
  const TTable& t = table();
  TFakeTextMetrics metrics;
  for (auto _ : state) {
    TStringGrid grid;
    TBounds bounds;
    collectBounds(t.lines, kTolerance, bounds);
    sortBounds(kTolerance, bounds);
    fillSheet(grid, t.texts, bounds, metrics);
    benchmark::DoNotOptimize(grid.Cell(kCols, kRows));
  }
}
BENCHMARK(BM_BoundsAndFill)->Unit(benchmark::kMillisecond);

bool sameSheet(const TStringGrid& a, const TStringGrid& b) {
  if (a.RowCount() != b.RowCount() || a.ColCount() != b.ColCount()) return false;
  for (std::int32_t c = 0; c < a.ColCount(); ++c) {
    if (a.ColWidth(c) != b.ColWidth(c)) return false;
    for (std::int32_t r = 0; r < a.RowCount(); ++r) {
      if (a.Cell(c, r) != b.Cell(c, r) || a.Tag(c, r) != b.Tag(c, r)) return false;
    }
  }
  return true;
}

void BM_BoundsAndFill_LiteralScan(benchmark::State& state) {
  const TTable& t = table();
  TFakeTextMetrics metrics;
  TBounds bounds;
  for (auto _ : state) {
    TStringGrid grid;
    collectBounds(t.lines, kTolerance, bounds);
    sortBounds(kTolerance, bounds);
    literalFill(grid, t.texts, bounds, metrics);
    benchmark::DoNotOptimize(grid.Cell(kCols, kRows));
  }
  // The two fills must agree, or the comparison means nothing.
  TStringGrid fast;
  TStringGrid literal;
  fillSheet(fast, t.texts, bounds, metrics);
  literalFill(literal, t.texts, bounds, metrics);
  if (fast.RowCount() != kRows + 1 || fast.ColCount() != kCols + 1 || !sameSheet(fast, literal)) {
    state.SkipWithError("the fast fill differs from the literal scan");
  }
}
BENCHMARK(BM_BoundsAndFill_LiteralScan)->Unit(benchmark::kMillisecond)->Iterations(2);

// ---- The reference: a history that scans its list ---------------------------

class TScanningUndoCells {
 public:
  void Add(TStringGrid& grid, std::int32_t col, std::int32_t row) {
    auto cell = std::make_unique<TUndoCell>();
    cell->FGrid = &grid;
    cell->FText = grid.Cell(col, row);
    cell->FX = col;
    cell->FY = row;
    const std::ptrdiff_t newest = findNewest(grid);
    cell->FUndoLevel = newest < 0 ? 0 : FList[static_cast<std::size_t>(newest)]->FUndoLevel + 1;
    FList.push_back(std::move(cell));
  }
  void Undo(TStringGrid& grid) {
    const std::ptrdiff_t newest = findNewest(grid);
    if (newest < 0) return;
    const std::unique_ptr<TUndoCell> cell = std::move(FList[static_cast<std::size_t>(newest)]);
    FList.erase(FList.begin() + newest);
    grid.setCell(cell->FX, cell->FY, cell->FText);
    if (cell->FX != grid.Col()) grid.setCol(cell->FX);
    if (cell->FY != grid.Row()) grid.setRow(cell->FY);
  }

 private:
  // The first entry of the sheet with the highest level, by a scan of all.
  std::ptrdiff_t findNewest(const TStringGrid& grid) const {
    std::ptrdiff_t best = -1;
    for (std::size_t i = 0; i < FList.size(); ++i) {
      if (FList[i]->FGrid == &grid &&
          (best < 0 || FList[i]->FUndoLevel > FList[static_cast<std::size_t>(best)]->FUndoLevel)) {
        best = static_cast<std::ptrdiff_t>(i);
      }
    }
    return best;
  }
  std::vector<std::unique_ptr<TUndoCell>> FList;
};

TStringGrid& filledGrid() {
  static TStringGrid grid;
  static const bool filled = [] {
    TFakeTextMetrics metrics;
    TBounds bounds;
    collectBounds(table().lines, kTolerance, bounds);
    sortBounds(kTolerance, bounds);
    fillSheet(grid, table().texts, bounds, metrics);
    return true;
  }();
  (void)filled;
  return grid;
}

void BM_UndoAddsThenGroupedUndo(benchmark::State& state) {
  TStringGrid& grid = filledGrid();
  for (auto _ : state) {
    TUndoCells history;
    for (std::int32_t r = 1; r <= kRows; ++r) {
      for (std::int32_t c = 1; c <= kCols; ++c) history.Add(grid, c, r);
    }
    history.setGroupCount(kRows * kCols);
    history.undoGroup(grid);
    benchmark::DoNotOptimize(history.Count());
  }
}
BENCHMARK(BM_UndoAddsThenGroupedUndo)->Unit(benchmark::kMillisecond);

void BM_UndoAddsThenGroupedUndo_ListScan(benchmark::State& state) {
  TStringGrid& grid = filledGrid();
  for (auto _ : state) {
    TScanningUndoCells history;
    for (std::int32_t r = 1; r <= kRows; ++r) {
      for (std::int32_t c = 1; c <= kCols; ++c) history.Add(grid, c, r);
    }
    for (std::int32_t i = 0; i < kRows * kCols; ++i) history.Undo(grid);
    benchmark::DoNotOptimize(grid.Cell(1, 1));
  }
}
BENCHMARK(BM_UndoAddsThenGroupedUndo_ListScan)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
