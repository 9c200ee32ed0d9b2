// The editing commands over a whole 1,000 x 30 sheet, each with the grouped
// undo that takes it back, and the table conversions beside the passes in
// table order with a turn of the message loop after each row, as the plain
// algorithm runs them.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "fake_desktop.h"
#include "literal_zen_han.h"
#include "sheet/block_commands.h"
#include "sheet/undo_cells.h"
#include "sheet/string_grid.h"
#include "text/convert_block.h"
#include "text/replace_text.h"
#include "text/zen_han_util.h"

namespace {

constexpr int kRows = 1000;
constexpr int kCols = 30;
const TGridRect kAll{1, 1, kCols, kRows};

// Texts of a parts list: katakana, digits, letters and symbols of both widths.
std::wstring cellText(int col, int row) {
  static const std::wstring samples[] = {L"ﾎﾞﾙﾄ M12x40", L"ナット（Ｍ１２）", L"SS400 t=9", L"ワッシャー 12",
                                         L"ｽﾌﾟﾘﾝｸﾞ ﾜｯｼｬｰ", L"Ａ－１２５", L"配管 ５０Ａ", L"\"SUS304\" 2.5kg"};
  return samples[static_cast<std::size_t>(col + row) % 8] + std::to_wstring(row);
}

void fill(TStringGrid& grid) {
  grid.setColCount(kCols + 1);
  grid.setRowCount(kRows + 1);
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kCols; ++c) grid.setCell(c, r, cellText(c, r));
  }
  grid.setSelection({1, 1}, {kCols, kRows});
}

std::wstring pasteBlock() {
  std::wstring text;
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kCols; ++c) {
      text += L"P" + std::to_wstring(r * 100 + c);
      text += c == kCols ? L"\r\n" : L"\t";
    }
  }
  return text;
}

using TCommand = std::function<std::int32_t(TStringGrid&, TUndoCells&)>;

// The command's time; the undo runs outside the measure to restore the sheet.
void runCommand(benchmark::State& state, const TCommand& command) {
  TStringGrid grid;
  fill(grid);
  TUndoCells undo;
  for (auto _ : state) {
    undo.setGroupCount(command(grid, undo));
    state.PauseTiming();
    undo.undoGroup(grid);
    state.ResumeTiming();
  }
}

// The grouped undo's time, the command run outside the measure.
void runUndo(benchmark::State& state, const TCommand& command) {
  TStringGrid grid;
  fill(grid);
  TUndoCells undo;
  for (auto _ : state) {
    state.PauseTiming();
    undo.setGroupCount(command(grid, undo));
    state.ResumeTiming();
    undo.undoGroup(grid);
    benchmark::DoNotOptimize(grid.Cell(1, 1));
  }
}

TCommand paste() {
  return [text = pasteBlock()](TStringGrid& g, TUndoCells& u) { return pasteText(g, u, kAll, text); };
}

// A clipboard of several megabytes: 100,000 lines of 30 fields, most of them
// below the sheet's last row.
TCommand pasteLarge() {
  std::wstring text;
  for (int r = 0; r < 100 * kRows; ++r) {
    for (int c = 1; c <= kCols; ++c) {
      text += L"L" + std::to_wstring(r);
      text += c == kCols ? L"\r\n" : L"\t";
    }
  }
  return [text = std::move(text)](TStringGrid& g, TUndoCells& u) { return pasteText(g, u, kAll, text); };
}

TCommand deleteAll() {
  return [](TStringGrid& g, TUndoCells& u) { return emptyBlock(g, u, kAll); };
}

TCommand replaceAll() {
  return [](TStringGrid& g, TUndoCells& u) { return replaceBlock(g, u, kAll, L"ss", L"SUS", true); };
}

struct TNamedConversion {
  const char* name;
  void (*convert)(std::wstring&);
  const zenHanUtil::TPairTable& table;
  bool toZen;
};

const TNamedConversion kConversions[] = {
    {"hanKanaToZen", zenHanUtil::hanKanaToZen, zenHanUtil::kanaTable(), true},
    {"hanNumToZen", zenHanUtil::hanNumToZen, zenHanUtil::numTable(), true},
    {"hanAlphaToZen", zenHanUtil::hanAlphaToZen, zenHanUtil::alphaTable(), true},
    {"hanSymToZen", zenHanUtil::hanSymToZen, zenHanUtil::symTable(), true},
    {"zenKanaToHan", zenHanUtil::zenKanaToHan, zenHanUtil::kanaTable(), false},
    {"zenNumToHan", zenHanUtil::zenNumToHan, zenHanUtil::numTable(), false},
    {"zenAlphaToHan", zenHanUtil::zenAlphaToHan, zenHanUtil::alphaTable(), false},
    {"zenSymToHan", zenHanUtil::zenSymToHan, zenHanUtil::symTable(), false},
};

TCommand conversion(const TNamedConversion& c) {
  return [&c](TStringGrid& g, TUndoCells& u) {
    TFakeDesktop desktop;
    return convertBlock(g, u, kAll, c.convert, desktop);
  };
}

// The plain algorithm: every row of the table a pass of its own over the
// text, the message loop given a turn after each (here a fake desktop's
// processMessages: its own cost is not in the figure), every cell recorded
// and written with a repaint announced per cell.
TCommand literalConversion(const TNamedConversion& c) {
  return [&c](TStringGrid& g, TUndoCells& u) {
    TFakeDesktop desktop;
    desktop.calls.reserve(1);
    const std::function<void()> turn = [&desktop] { desktop.processMessages(); desktop.calls.clear(); };
    std::int32_t count = 0;
    std::wstring text;
    for (int r = kAll.Top; r <= kAll.Bottom; ++r) {
      for (int col = kAll.Left; col <= kAll.Right; ++col) {
        text = g.Cell(col, r);
        literalTableConversion(text, c.table, c.toZen, turn);
        u.Add(g, col, r);
        ++count;
        g.setCell(col, r, text);
      }
    }
    return count;
  };
}

template <class F>
void add(const std::string& name, F run) {
  benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
}

const bool kRegistered = [] {
  add("Paste30000Cells", [](benchmark::State& s) { runCommand(s, paste()); });
  add("Paste30000Cells/Undo", [](benchmark::State& s) { runUndo(s, paste()); });
  add("PasteLargeClipboard", [](benchmark::State& s) { runCommand(s, pasteLarge()); });
  add("DeleteAll", [](benchmark::State& s) { runCommand(s, deleteAll()); });
  add("DeleteAll/Undo", [](benchmark::State& s) { runUndo(s, deleteAll()); });
  add("ReplaceAll", [](benchmark::State& s) { runCommand(s, replaceAll()); });
  add("ReplaceAll/Undo", [](benchmark::State& s) { runUndo(s, replaceAll()); });
  for (const TNamedConversion& c : kConversions) {
    const std::string name = std::string("Convert/") + c.name;
    add(name, [&c](benchmark::State& s) { runCommand(s, conversion(c)); });
    add(name + "/Undo", [&c](benchmark::State& s) { runUndo(s, conversion(c)); });
    add(name + "/PassesInTableOrder", [&c](benchmark::State& s) { runCommand(s, literalConversion(c)); });
  }
  return true;
}();

}  // namespace
