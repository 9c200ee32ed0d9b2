#pragma once
// Fitting a column to its texts, as a double click on the line to the
// right of its header does.
#include <cstdint>

#include "platform/text_metrics.h"
#include "sheet/string_grid.h"

// The width at which every text of the column, its header included, shows
// whole: the widest text, the fill's margin and room for a cell's corner mark.
int fittedColumnWidth(const TStringGrid& grid, std::int32_t col, TTextMetrics& metrics);
