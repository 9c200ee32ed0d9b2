#pragma once
// Which cell each text Acquire read lands in, and which texts no cell shows:
// one rule for the fill of the sheet and for the list of hidden texts.
#include <cstdint>
#include <vector>

#include "table/bounds.h"
#include "table/hidden_texts.h"
#include "table/mrv_records.h"

// A data cell, both at least 1; {0, 0} for none.
struct TCellHit {
  std::int32_t col = 0;
  std::int32_t row = 0;
  bool operator==(const TCellHit&) const = default;
};

struct TPlacement {
  // One per text, in list order: the data cell whose open area holds its
  // anchor, or none when the anchor lies on a rule or outside the table.
  std::vector<TCellHit> cells;
  // The texts that land in no cell, and those a later text of the same cell
  // hides (the cell shows the last one), in list order.
  THiddenTexts hidden;
};

// With no table (fewer than two boundaries either way) or no texts, every
// text lies outside.
TPlacement placeTexts(const TTextAry& texts, const TBounds& bounds);
