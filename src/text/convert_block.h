#pragma once
// A conversion run over a block of cells: each cell read, converted,
// recorded in the undo history and written, row by row and left to right.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/desktop.h"
#include "sheet/undo_cells.h"
#include "sheet/string_grid.h"

// How long a conversion runs between two turns of the message loop.
inline constexpr std::uint32_t kConvertPumpInterval = 50;

// Returns how many cells were recorded (every cell of the block). Pending
// window messages run whenever kConvertPumpInterval ms have passed since the
// last turn, with the cells converted so far painted first.
std::int32_t convertBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block,
                          const std::function<void(std::wstring&)>& convert, TDesktop& desktop);
// The same without a turn of the message loop, for the whole-text
// conversions, which let no messages through.
std::int32_t convertBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block,
                          const std::function<void(std::wstring&)>& convert);
