#pragma once
// The data cells of the sheet as they are handed to Excel: a rows x cols
// block of strings, indexed from 1 as the worksheet counts, element [r, c]
// being the text of sheet cell (c, r).
#include <cstdint>
#include <string>

#include "export/cell_block.h"

class TStringGrid;

using TTransferArray = TCellBlock<std::wstring>;

// The size of the sheet's data block: rows 1..RowCount-1 and columns
// 1..ColCount-1, the range the worksheet gets from A1.
struct TDataBlock {
  std::int32_t rows = 0;
  std::int32_t cols = 0;
  bool empty() const noexcept { return rows < 1 || cols < 1; }
};
TDataBlock dataBlock(const TStringGrid& grid);

// The sheet's data rows 1..RowCount-1 and columns 1..ColCount-1; the header
// row and column are left out and empty cells give empty strings.
TTransferArray transferArray(const TStringGrid& grid);
