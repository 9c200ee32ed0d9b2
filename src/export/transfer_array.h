#pragma once
// The data cells of the sheet as they are handed to Excel: a rows x cols
// block of strings, indexed from 1 as the worksheet counts, element [r, c]
// being the text of sheet cell (c, r).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TStringGrid;

class TTransferArray {
 public:
  TTransferArray() = default;
  TTransferArray(std::int32_t rows, std::int32_t cols);

  std::int32_t rows() const noexcept { return FRows; }
  std::int32_t cols() const noexcept { return FCols; }
  // Row r (1..rows) and column c (1..cols).
  const std::wstring& at(std::int32_t r, std::int32_t c) const { return FCells[index(r, c)]; }
  std::wstring& at(std::int32_t r, std::int32_t c) { return FCells[index(r, c)]; }

 private:
  std::size_t index(std::int32_t r, std::int32_t c) const;

  std::int32_t FRows = 0;
  std::int32_t FCols = 0;
  std::vector<std::wstring> FCells;  // column after column, as a SAFEARRAY lays out its first index
};

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
