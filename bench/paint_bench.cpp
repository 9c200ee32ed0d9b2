// The marks' share of a paint of a 1,000 x 30 sheet: after one keystroke,
// the look of every cell of the sheet (the main window's draw handler, as if
// the whole sheet were in view; a real paint asks only the visible cells)
// and the pending counts for the status bar. An unchanged sheet beside one
// whose every cell is pending, and the paint right after Acquire or Update,
// when every column is worked out anew.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/morvane_form.h"
#include "fake_cad.h"
#include "table_access.h"
#include "fake_desktop.h"
#include "writeback/pending_cells.h"

namespace {

constexpr int kRows = 1000;
constexpr int kCols = 30;
constexpr double kCellW = 25.0;
constexpr double kCellH = 8.0;

struct TPaintSheet {
  TFakeDesktop desktop;
  TFakeCad cad;
  TFakeTextMetrics metrics;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics}};
};

// Every cell tagged with its text; with `pending`, each cell of columns 1 to
// 29 edited, emptied or (untagged) given a new text by turns, and the last
// column, which has no drawing text, typed into.
std::unique_ptr<TPaintSheet> makeSheet(bool pending) {
  auto sheet = std::make_unique<TPaintSheet>();
  TMorvaneForm& form = sheet->form;
  TStringGrid& grid = form.StringGrid1;
  grid.setRowCount(kRows + 1);
  grid.setColCount(kCols + 1);
  TDblAry cols;
  TDblAry rows;
  for (int c = 0; c <= kCols; ++c) cols.push_back(c * kCellW);
  for (int r = 0; r <= kRows; ++r) rows.push_back(-r * kCellH);
  TTableAccess::of(form).bounds.assign(cols, rows);
  std::int32_t tag = 0x1000;
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kCols; ++c) {
      const std::wstring text = L"R" + std::to_wstring(r) + L"C" + std::to_wstring(c);
      if (c == kCols) {
        if (pending) grid.setCell(c, r, text);
        continue;
      }
      const int turn = pending ? r % 3 : -1;
      if (turn != 2) {
        TMrvText t;
        t.base = {(c - 1) * kCellW + 1.5, -(r - 1) * kCellH - 6.0, 0.0};
        t.sText = text;
        t.sHandle = handleString(tag);
        grid.setTag(c, r, tag++);
        TTableAccess::of(form).TextAry.push_back(std::move(t));
      }
      grid.setCell(c, r, turn == 0 ? text + L"*" : turn == 1 ? std::wstring() : text);
    }
  }
  TTableAccess::of(form).pending.reset();
  return sheet;
}

// One keystroke's change (a cell of column 1 written), then the looks of all
// cells and the counts, as the paint that follows asks them.
template <class TLookOf>
void paintAfterKeystroke(benchmark::State& state, TPaintSheet& sheet, TLookOf lookOf) {
  TMorvaneForm& form = sheet.form;
  TStringGrid& grid = form.StringGrid1;
  const std::wstring typed = grid.Cell(1, 4);
  const TCellRect rect{0, 0, 40, 20};
  for (auto _ : state) {
    grid.setCell(1, 4, typed);
    std::uint32_t marks = 0;
    for (int r = 0; r <= kRows; ++r) {
      for (int c = 0; c <= kCols; ++c) marks += lookOf(c, r, rect) ? 1u : 0u;
    }
    form.showPendingCounts();
    benchmark::DoNotOptimize(marks);
    state.counters["marks"] = marks;
  }
}

void paintFormLooks(benchmark::State& state, bool pending) {
  const std::unique_ptr<TPaintSheet> sheet = makeSheet(pending);
  TMorvaneForm& form = sheet->form;
  paintAfterKeystroke(state, *sheet, [&form](int c, int r, const TCellRect& rect) {
    return form.StringGrid1DrawCell(c, r, rect, TDrawState{}).mark;
  });
  const bool shown = !form.StatusBar1.Panel(2).empty();
  if (shown != pending) state.SkipWithError("the status note does not match the sheet");
}

void BM_PaintUnchangedSheet(benchmark::State& state) { paintFormLooks(state, false); }
BENCHMARK(BM_PaintUnchangedSheet)->Unit(benchmark::kMillisecond);

void BM_PaintPendingSheet(benchmark::State& state) { paintFormLooks(state, true); }
BENCHMARK(BM_PaintPendingSheet)->Unit(benchmark::kMillisecond);

// The same paint right after Acquire or Update, when every column is worked out anew.
void BM_PaintPendingSheetAfterReset(benchmark::State& state) {
  const std::unique_ptr<TPaintSheet> sheet = makeSheet(true);
  TMorvaneForm& form = sheet->form;
  for (auto _ : state) {
    TTableAccess::of(form).pending.reset();
    std::uint32_t marks = 0;
    for (int r = 0; r <= kRows; ++r) {
      for (int c = 0; c <= kCols; ++c) marks += form.StringGrid1DrawCell(c, r, {0, 0, 40, 20}, {}).mark ? 1u : 0u;
    }
    form.showPendingCounts();
    benchmark::DoNotOptimize(marks);
  }
}
BENCHMARK(BM_PaintPendingSheetAfterReset)->Unit(benchmark::kMillisecond);

}  // namespace
