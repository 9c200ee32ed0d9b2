#pragma once
// The clipboard and block keys of the sheet, which the sheet's key handler
// hands on for every key it does not take itself: Delete, Ctrl+C, Ctrl+X and
// Ctrl+V over the sheet's selection.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/desktop.h"
#include "sheet/grid_keys.h"
#include "sheet/undo_cells.h"
#include "sheet/string_grid.h"

struct TKeyCommandContext {
  TStringGrid& grid;
  TUndoCells& undo;
  TDesktop& desktop;
  std::function<void(const std::wstring&)> log;
};

// Whether the key is one of the key commands (Delete with any modifiers;
// C, X or V with Ctrl).
bool isSheetKeyCommand(std::uint16_t key, TShiftState shift);

// Ctrl+C, Ctrl+X or Ctrl+V, and the log line each adds ("[CTRL]+[C]" for X too).
bool isClipboardKey(std::uint16_t key, TShiftState shift);
std::wstring clipboardKeyLogLine(std::uint16_t key);

// Setting the key to 0 swallows it; a key left alone keeps its meaning in the
// sheet (Delete on a single cell is the editor's). Each command the key runs
// is one undo group.
void sheetKeyCommand(TKeyCommandContext& context, std::uint16_t& key, TShiftState shift);
