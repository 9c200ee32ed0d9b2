#include "text/convert_block.h"

#include <optional>

namespace {

// `desktop` null: the loop lets no messages through.
std::int32_t convertCells(TStringGrid& grid, TUndoCells& undo, const TGridRect& block,
                          const std::function<void(std::wstring&)>& convert, TDesktop* desktop) {
  std::optional<TStringGrid::TUpdateScope> hold(std::in_place, grid);
  std::int32_t count = 0;
  std::uint32_t lastTurn = desktop != nullptr ? desktop->tickCount() : 0;
  std::wstring text;
  for (std::int32_t row = block.Top; row <= block.Bottom; ++row) {
    for (std::int32_t col = block.Left; col <= block.Right; ++col) {
      text = grid.Cell(col, row);
      convert(text);
      undo.Add(grid, col, row);
      ++count;
      grid.setCell(col, row, text);
      if (desktop != nullptr && desktop->tickCount() - lastTurn >= kConvertPumpInterval) {
        // The cells converted so far are painted in this turn.
        hold.reset();
        desktop->processMessages();
        hold.emplace(grid);
        lastTurn = desktop->tickCount();
      }
    }
  }
  return count;
}

}  // namespace

std::int32_t convertBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block,
                          const std::function<void(std::wstring&)>& convert, TDesktop& desktop) {
  return convertCells(grid, undo, block, convert, &desktop);
}

std::int32_t convertBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block,
                          const std::function<void(std::wstring&)>& convert) {
  return convertCells(grid, undo, block, convert, nullptr);
}
