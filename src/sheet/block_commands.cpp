#include "sheet/block_commands.h"

#include <algorithm>
#include <string>

#include "sheet/clipboard_fields.h"

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
  const std::int32_t lines = clipboardRowCount(text);
  if (lines == 0) {
    return 0;
  }
  const TStringGrid::TUpdateScope hold(grid);
  std::int32_t count = 0;
  TClipboardFields fields(text);
  std::wstring field;
  bool endsRow = false;
  std::int32_t row = selection.Top;
  std::int32_t col = selection.Left;
  while (fields.next(col < grid.ColCount() ? &field : nullptr, endsRow)) {
    if (row >= grid.RowCount()) {
      break;  // every later line and its repetitions lie lower still
    }
    if (col < grid.ColCount()) {
      for (std::int32_t target = row; target == row || target <= selection.Bottom; target += lines) {
        if (target >= grid.RowCount()) {
          break;
        }
        undo.Add(grid, col, target);
        grid.setCell(col, target, field);
        ++count;
      }
    }
    if (endsRow) {
      ++row;
      col = selection.Left;
    } else {
      ++col;
    }
  }
  return count;
}

TPasteDropped pasteDropped(const TStringGrid& grid, const TGridRect& selection, std::wstring_view text) {
  TClipboardFields fields(text);
  bool endsRow = false;
  std::int32_t lines = 0;
  std::int32_t widest = 0;
  std::int32_t width = 0;
  while (fields.next(nullptr, endsRow)) {
    ++width;
    if (endsRow) {
      ++lines;
      widest = std::max(widest, width);
      width = 0;
    }
  }
  TPasteDropped dropped;
  if (lines > 0) {
    dropped.rows = std::max(selection.Top + lines - grid.RowCount(), 0);
    dropped.cols = std::max(selection.Left + widest - grid.ColCount(), 0);
  }
  return dropped;
}

std::wstring pasteDroppedLogLine(const TPasteDropped& dropped) {
  return L"[ペースト] シートに収まらず捨てた行 = " + std::to_wstring(dropped.rows) + L", 列 = " +
         std::to_wstring(dropped.cols);
}
