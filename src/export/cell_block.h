#pragma once
// A rows x cols block of cells indexed from 1 as a worksheet counts, laid
// out column after column as a SAFEARRAY lays out its first index, so that
// both directions of a range's "Value" copy it in one sweep.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

template <typename TCell>
class TCellBlock {
 public:
  TCellBlock() = default;
  TCellBlock(std::int32_t rows, std::int32_t cols) : FRows(rows < 0 ? 0 : rows), FCols(cols < 0 ? 0 : cols) {
    FCells.resize(static_cast<std::size_t>(FRows) * static_cast<std::size_t>(FCols));
  }

  std::int32_t rows() const noexcept { return FRows; }
  std::int32_t cols() const noexcept { return FCols; }
  // Row r (1..rows) and column c (1..cols).
  const TCell& at(std::int32_t r, std::int32_t c) const { return FCells[index(r, c)]; }
  TCell& at(std::int32_t r, std::int32_t c) { return FCells[index(r, c)]; }

 private:
  std::size_t index(std::int32_t r, std::int32_t c) const {
    if (r < 1 || r > FRows || c < 1 || c > FCols) {
      throw std::out_of_range("cell block index");
    }
    return static_cast<std::size_t>(c - 1) * static_cast<std::size_t>(FRows) + static_cast<std::size_t>(r - 1);
  }

  std::int32_t FRows = 0;
  std::int32_t FCols = 0;
  std::vector<TCell> FCells;
};
