#include "sheet/block_commands.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";

// Each CR LF ends a line, and text after the last one is a line of its own:
// a word copied from an editor comes without a line break.
std::int32_t countLines(std::wstring_view text) {
  std::int32_t lines = 0;
  std::size_t next = 0;
  for (std::size_t at = text.find(kLineEnd); at != std::wstring_view::npos; at = text.find(kLineEnd, next)) {
    ++lines;
    next = at + kLineEnd.size();
  }
  return next < text.size() ? lines + 1 : lines;
}

}  // namespace

std::int32_t emptyBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block) {
  return fillBlock(grid, undo, block, std::wstring());
}

std::int32_t fillBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block, const std::wstring& text) {
  const TStringGrid::TUpdateScope hold(grid);
  std::int32_t count = 0;
  for (std::int32_t row = block.Top; row <= block.Bottom; ++row) {
    for (std::int32_t col = block.Left; col <= block.Right; ++col) {
      undo.Add(grid, col, row);
      grid.setCell(col, row, text);
      ++count;
    }
  }
  return count;
}

std::int32_t pasteText(TStringGrid& grid, TUndoCells& undo, const TGridRect& selection, std::wstring_view text) {
  const std::int32_t lines = countLines(text);
  if (lines == 0) {
    return 0;
  }
  const TStringGrid::TUpdateScope hold(grid);
  std::int32_t count = 0;
  std::wstring field;
  std::size_t lineStart = 0;
  for (std::int32_t i = 0; i < lines; ++i) {
    const std::size_t lineEnd = std::min(text.find(kLineEnd, lineStart), text.size());
    const std::int32_t row = selection.Top + i;
    if (row >= grid.RowCount()) {
      break;  // every later line and its repetitions lie lower still
    }
    const std::wstring_view line = text.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + kLineEnd.size();
    std::size_t fieldStart = 0;
    for (std::int32_t col = selection.Left; col < grid.ColCount(); ++col) {
      const std::size_t tab = line.find(L'\t', fieldStart);
      field.assign(line.substr(fieldStart, tab == std::wstring_view::npos ? line.npos : tab - fieldStart));
      for (std::int32_t target = row; target == row || target <= selection.Bottom; target += lines) {
        if (target >= grid.RowCount()) {
          break;
        }
        undo.Add(grid, col, target);
        grid.setCell(col, target, field);
        ++count;
      }
      if (tab == std::wstring_view::npos) {
        break;
      }
      fieldStart = tab + 1;
    }
  }
  return count;
}
