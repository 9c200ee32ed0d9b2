#pragma once
// Find and replace over the sheet's cells.
#include <cstdint>
#include <string>

#include "sheet/undo_cells.h"
#include "sheet/string_grid.h"

// Every occurrence of `find` in `text` replaced by `replacement`: found from
// the left, not overlapping, and never searched again once inserted. With
// `ignoreCase` letters match whatever their case; the replaced ranges are
// those of the original text. An empty find text or text changes nothing.
std::wstring replaceText(const std::wstring& text, const std::wstring& find, const std::wstring& replacement,
                         bool ignoreCase);

// Records and rewrites every cell of the block, row by row and left to
// right, whether or not it held the find text, with repainting held back
// until the end; returns how many cells were recorded.
std::int32_t replaceBlock(TStringGrid& grid, TUndoCells& undo, const TGridRect& block, const std::wstring& find,
                          const std::wstring& replacement, bool ignoreCase);
