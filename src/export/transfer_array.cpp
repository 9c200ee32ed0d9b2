#include "export/transfer_array.h"

#include <stdexcept>

#include "sheet/string_grid.h"

TTransferArray::TTransferArray(std::int32_t rows, std::int32_t cols)
    : FRows(rows < 0 ? 0 : rows), FCols(cols < 0 ? 0 : cols) {
  FCells.resize(static_cast<std::size_t>(FRows) * static_cast<std::size_t>(FCols));
}

std::size_t TTransferArray::index(std::int32_t r, std::int32_t c) const {
  if (r < 1 || r > FRows || c < 1 || c > FCols) {
    throw std::out_of_range("transfer array index");
  }
  return static_cast<std::size_t>(c - 1) * static_cast<std::size_t>(FRows) + static_cast<std::size_t>(r - 1);
}

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
