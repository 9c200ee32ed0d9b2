#pragma once
// Filling the sheet from the texts and boundaries Acquire read.
#include "platform/text_metrics.h"
#include "table/bounds.h"
#include "table/hidden_texts.h"
#include "table/mrv_records.h"
#include "sheet/string_grid.h"

// What a column is wider than its widest text: the text's margin of 6
// pixels on the left and room on the right.
inline constexpr int kTextWidthMargin = 10;

// Empties every cell, headers included, and sets every tag to 0.
void clearSheet(TStringGrid& grid);

// Sizes the sheet from the boundaries, numbers the headers and puts each text
// into the data cell whose open area holds its anchor (a later text replaces
// an earlier one), tagging the cell with the text's handle; widens columns to
// their texts and then narrows the columns drawn narrower than the default at
// the scale of the last widened column. Does nothing when there is no text or
// fewer than two boundaries either way. A handle that is no cell tag
// (handleToTag) raises TConvertError; the cells filled up to then stay filled.
// Gives the texts that no cell shows and why; with no table to fill (fewer
// than two boundaries either way) every text lies outside it.
THiddenTexts fillSheet(TStringGrid& grid, const TTextAry& texts, const TBounds& bounds, TTextMetrics& metrics);
