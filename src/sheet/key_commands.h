#pragma once
// The clipboard and block keys of the sheet, which the sheet's key handler
// hands on for every key it does not take itself.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/desktop.h"
#include "sheet/undo_cells.h"
#include "table/string_grid.h"

// Ctrl+C and Ctrl+X try the clipboard this often, one try right after the other.
inline constexpr int kKeyCopyTries = 3;

struct TKeyCommandContext {
  TStringGrid& grid;
  TUndoCells& undo;
  std::int32_t& sgUndoCnt;
  TDesktop& desktop;
  std::function<void(const std::wstring&)> log;
  // Delete, Ctrl+X and Ctrl+V go here; setting the key to 0 swallows it.
  std::function<void(std::uint16_t& key, TShiftState shift)> hook;
};

// Setting the key to 0 swallows it; a key left alone keeps its meaning in the sheet.
void sheetKeyCommand(TKeyCommandContext& context, std::uint16_t& key, TShiftState shift);
