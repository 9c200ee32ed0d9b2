#pragma once
// The stand-in Excel's one worksheet: texts by row and column (both from 1,
// as a worksheet counts), A1-style cell names, and the sheet as tab-separated
// text for the tests.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Excel's last row and column.
inline constexpr std::int32_t kMaxRow = 1048576;
inline constexpr std::int32_t kMaxCol = 16384;

struct TCellPos {
  std::int32_t row = 1;
  std::int32_t col = 1;
  bool operator==(const TCellPos&) const = default;
};

// A rectangle of cells, first <= last in both directions.
struct TCellBlock {
  TCellPos first;
  TCellPos last;
  std::int32_t rows() const { return last.row - first.row + 1; }
  std::int32_t cols() const { return last.col - first.col + 1; }
  bool operator==(const TCellBlock&) const = default;
};

// "A", "Z", "AA", ...: the letters of a column counted from 1.
std::wstring columnLetters(std::int32_t col);

// "B3", "$B$3" or "b3"; nothing for anything else or a cell beyond the sheet.
std::optional<TCellPos> parseCellName(const std::wstring& name);
// A range as Excel's Range takes it: one name ("B3" or "A1:C4") or two corner
// names in either order.
std::optional<TCellBlock> parseRange(const std::wstring& first, const std::wstring& second = std::wstring());

// Values handed to or read from a range: rows x cols texts, row after row.
struct TValueBlock {
  std::int32_t rows = 0;
  std::int32_t cols = 0;
  std::vector<std::wstring> texts;
  const std::wstring& at(std::int32_t r, std::int32_t c) const {
    return texts[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)];
  }
};

class TCellSheet {
 public:
  const std::wstring& cell(std::int32_t row, std::int32_t col) const;
  void setCell(std::int32_t row, std::int32_t col, const std::wstring& text);

  // Writes the block into the range from its top-left cell, as a worksheet
  // does: every cell of the range is overwritten (an empty text empties it),
  // cells of the range beyond the block get "#N/A", and the part of the
  // block beyond the range is dropped. Cells outside the range stay.
  void assign(const TCellBlock& range, const TValueBlock& values);
  TValueBlock values(const TCellBlock& range) const;

  // The rows and columns up to the last non-empty cell.
  std::int32_t usedRows() const;
  std::int32_t usedCols() const;

  // From A1 to the last used row and column: a TAB between cells, CR LF after each row.
  std::wstring toTsv() const;
  // Replaces the sheet with the cells of a tab-separated text (LF or CR LF).
  void loadTsv(const std::wstring& text);

 private:
  std::map<std::pair<std::int32_t, std::int32_t>, std::wstring> FCells;  // (row, col) -> non-empty text
};
