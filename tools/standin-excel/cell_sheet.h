#pragma once
// The stand-in Excel's one worksheet: typed cells by row and column (both
// from 1, as a worksheet counts), the cells formatted as text, A1-style cell
// names, and the sheet as tab-separated text for the tests.
#include <cstdint>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cell_value.h"

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

// A range's cells as "Value" hands them out: rows x cols, row after row.
struct TTypedBlock {
  std::int32_t rows = 0;
  std::int32_t cols = 0;
  std::vector<TCellValue> cells;
  const TCellValue& at(std::int32_t r, std::int32_t c) const {
    return cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)];
  }
};

class TCellSheet {
 public:
  // The text the cell shows.
  const std::wstring& cell(std::int32_t row, std::int32_t col) const;
  const TCellValue& value(std::int32_t row, std::int32_t col) const;
  // A string kept as it is, whatever it looks like.
  void setCell(std::int32_t row, std::int32_t col, const std::wstring& text);
  void setValue(std::int32_t row, std::int32_t col, const TCellValue& value);

  // "@" formats the range as text: strings assigned later stay strings. Any
  // other format lets Excel convert them again. The values already there stay.
  void setNumberFormat(const TCellBlock& range, const std::wstring& format);
  bool formattedAsText(std::int32_t row, std::int32_t col) const;

  // Writes the block into the range from its top-left cell, as a worksheet
  // does: every cell of the range is overwritten (an empty text empties it),
  // cells of the range beyond the block get "#N/A", and the part of the
  // block beyond the range is dropped. Cells outside the range stay. A
  // string Excel would read as a number, date, boolean or error becomes one
  // unless its cell is formatted as text.
  void assign(const TCellBlock& range, const TValueBlock& values);
  TValueBlock values(const TCellBlock& range) const;
  TTypedBlock typedValues(const TCellBlock& range) const;

  // The rows and columns up to the last non-empty cell.
  std::int32_t usedRows() const;
  std::int32_t usedCols() const;

  // From A1 to the last used row and column: a TAB between cells, CR LF after each row.
  std::wstring toTsv() const;
  // Replaces the sheet with the cells of a tab-separated text (LF or CR LF).
  void loadTsv(const std::wstring& text);

 private:
  std::map<std::pair<std::int32_t, std::int32_t>, TCellValue> FCells;  // (row, col) -> a non-empty cell
  std::set<std::pair<std::int32_t, std::int32_t>> FTextCells;           // formatted "@"
};
