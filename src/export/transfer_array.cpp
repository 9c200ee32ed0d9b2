#include "export/transfer_array.h"


#include "sheet/string_grid.h"

TDataBlock dataBlock(const TStringGrid& grid) {
  TDataBlock block;
  block.rows = grid.RowCount() > 1 ? grid.RowCount() - 1 : 0;
  block.cols = grid.ColCount() > 1 ? grid.ColCount() - 1 : 0;
  return block;
}

TTransferArray transferArray(const TStringGrid& grid) {
  const TDataBlock block = dataBlock(grid);
  TTransferArray array(block.rows, block.cols);
  for (std::int32_t c = 1; c <= array.cols(); ++c) {
    for (std::int32_t r = 1; r <= array.rows(); ++r) {
      array.at(r, c) = grid.Cell(c, r);
    }
  }
  return array;
}
