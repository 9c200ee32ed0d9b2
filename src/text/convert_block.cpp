#include "text/convert_block.h"

#include <optional>

std::int32_t convertBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block,
                          const std::function<void(std::wstring&)>& convert, TDesktop& desktop) {
  std::optional<TStringGrid::TUpdateScope> hold(std::in_place, grid);
  std::int32_t count = 0;
  std::uint32_t lastTurn = desktop.tickCount();
  std::wstring text;
  for (std::int32_t row = block.Top; row <= block.Bottom; ++row) {
    for (std::int32_t col = block.Left; col <= block.Right; ++col) {
      text = grid.Cell(col, row);
      convert(text);
      undo.Add(grid, col, row);
      ++count;
      grid.setCell(col, row, text);
      if (desktop.tickCount() - lastTurn >= kConvertPumpInterval) {
        // The cells converted so far are painted in this turn.
        hold.reset();
        desktop.processMessages();
        hold.emplace(grid);
        lastTurn = desktop.tickCount();
      }
    }
  }
  return count;
}
