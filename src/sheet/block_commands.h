#pragma once
// The block commands over the sheet's cells: emptying a block and pasting a
// clipboard text. Each records every cell it writes in the undo history just
// before writing it, and returns how many it recorded. Repainting is held
// back until the whole block is written.
#include <cstdint>
#include <string>
#include <string_view>

#include "sheet/undo_cells.h"
#include "sheet/string_grid.h"

// Writes the text into every cell of the block, row by row and left to right.
std::int32_t fillBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block, const std::wstring& text);
// Empties every cell of the block.
std::int32_t emptyBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block);

// Writes the clipboard text into the sheet from the selection's top-left
// cell. The text is cut into lines at each CR LF, text after the last one
// being the last line (Excel ends every row with one, a text editor's copy
// may not); each line is cut into fields at TABs; a field in double quotes
// holding a line break, as Excel writes a cell with one, is one cell
// (TClipboardFields). The block is repeated downwards, whole block by whole block, as long
// as a repetition's row lies within the selection; it is never repeated
// sideways nor cut at the selection's edges. Pieces that fall beyond the
// sheet's last column or row are dropped unwritten and unrecorded: the sheet
// never grows.
std::int32_t pasteText(TStringGrid& grid, TUndoCells& undo, const TGridRect& selection, std::wstring_view text);

// The rows and columns of a pasted block that fall beyond the sheet's last
// row or column, read from the text as pasteText reads it; zero when the
// block fits.
struct TPasteDropped {
  std::int32_t rows = 0;
  std::int32_t cols = 0;
  bool any() const { return rows > 0 || cols > 0; }
};
TPasteDropped pasteDropped(const TStringGrid& grid, const TGridRect& selection, std::wstring_view text);
// The log line that counts them.
std::wstring pasteDroppedLogLine(const TPasteDropped& dropped);
