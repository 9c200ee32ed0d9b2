#include "cell_sheet.h"

#include <algorithm>

namespace {

const TCellValue kEmpty;

bool isLetter(wchar_t ch) { return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z'); }
bool isDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

}  // namespace

std::wstring columnLetters(std::int32_t col) {
  std::wstring out;
  while (col > 0) {
    const std::int32_t digit = (col - 1) % 26;
    out.insert(out.begin(), static_cast<wchar_t>(L'A' + digit));
    col = (col - 1) / 26;
  }
  return out;
}

std::optional<TCellPos> parseCellName(const std::wstring& name) {
  std::size_t i = 0;
  if (i < name.size() && name[i] == L'$') ++i;
  std::int64_t col = 0;
  const std::size_t lettersFrom = i;
  for (; i < name.size() && isLetter(name[i]); ++i) {
    col = col * 26 + ((name[i] | 0x20) - L'a' + 1);
    if (col > kMaxCol) return std::nullopt;
  }
  if (i == lettersFrom) return std::nullopt;
  if (i < name.size() && name[i] == L'$') ++i;
  std::int64_t row = 0;
  const std::size_t digitsFrom = i;
  for (; i < name.size() && isDigit(name[i]); ++i) {
    row = row * 10 + (name[i] - L'0');
    if (row > kMaxRow) return std::nullopt;
  }
  if (i == digitsFrom || i != name.size() || row < 1) return std::nullopt;
  return TCellPos{static_cast<std::int32_t>(row), static_cast<std::int32_t>(col)};
}

std::optional<TCellBlock> parseRange(const std::wstring& first, const std::wstring& second) {
  std::wstring a = first;
  std::wstring b = second;
  if (b.empty()) {
    const std::size_t colon = a.find(L':');
    b = colon == std::wstring::npos ? a : a.substr(colon + 1);
    a = a.substr(0, colon);
  }
  const auto p = parseCellName(a);
  const auto q = parseCellName(b);
  if (!p || !q) return std::nullopt;
  return TCellBlock{{std::min(p->row, q->row), std::min(p->col, q->col)},
                    {std::max(p->row, q->row), std::max(p->col, q->col)}};
}

const std::wstring& TCellSheet::cell(std::int32_t row, std::int32_t col) const { return value(row, col).text; }

const TCellValue& TCellSheet::value(std::int32_t row, std::int32_t col) const {
  const auto it = FCells.find({row, col});
  return it == FCells.end() ? kEmpty : it->second;
}

void TCellSheet::setCell(std::int32_t row, std::int32_t col, const std::wstring& text) {
  setValue(row, col, text.empty() ? TCellValue{} : TCellValue{TCellKind::Text, text, 0.0});
}

void TCellSheet::setValue(std::int32_t row, std::int32_t col, const TCellValue& value) {
  if (value.kind == TCellKind::Empty) {
    FCells.erase({row, col});
  } else {
    FCells[{row, col}] = value;
  }
}

void TCellSheet::setNumberFormat(const TCellBlock& range, const std::wstring& format) {
  for (std::int32_t r = range.first.row; r <= range.last.row; ++r) {
    for (std::int32_t c = range.first.col; c <= range.last.col; ++c) {
      if (format == L"@") {
        FTextCells.insert({r, c});
      } else {
        FTextCells.erase({r, c});
      }
    }
  }
}

bool TCellSheet::formattedAsText(std::int32_t row, std::int32_t col) const {
  return FTextCells.contains({row, col});
}

void TCellSheet::assign(const TCellBlock& range, const TValueBlock& values) {
  for (std::int32_t r = 0; r < range.rows(); ++r) {
    for (std::int32_t c = 0; c < range.cols(); ++c) {
      const bool inBlock = r < values.rows && c < values.cols;
      const std::int32_t row = range.first.row + r;
      const std::int32_t col = range.first.col + c;
      // What the block does not cover is Excel's error, whatever the format.
      setValue(row, col, inBlock ? assignedValue(values.at(r, c), formattedAsText(row, col)) : assignedValue(L"#N/A", false));
    }
  }
}

TValueBlock TCellSheet::values(const TCellBlock& range) const {
  TValueBlock out{range.rows(), range.cols(), {}};
  out.texts.reserve(static_cast<std::size_t>(out.rows) * static_cast<std::size_t>(out.cols));
  for (std::int32_t r = 0; r < out.rows; ++r) {
    for (std::int32_t c = 0; c < out.cols; ++c) {
      out.texts.push_back(cell(range.first.row + r, range.first.col + c));
    }
  }
  return out;
}

TTypedBlock TCellSheet::typedValues(const TCellBlock& range) const {
  TTypedBlock out{range.rows(), range.cols(), {}};
  out.cells.reserve(static_cast<std::size_t>(out.rows) * static_cast<std::size_t>(out.cols));
  for (std::int32_t r = 0; r < out.rows; ++r) {
    for (std::int32_t c = 0; c < out.cols; ++c) out.cells.push_back(value(range.first.row + r, range.first.col + c));
  }
  return out;
}

std::int32_t TCellSheet::usedRows() const { return FCells.empty() ? 0 : FCells.rbegin()->first.first; }

std::int32_t TCellSheet::usedCols() const {
  std::int32_t cols = 0;
  for (const auto& entry : FCells) cols = std::max(cols, entry.first.second);
  return cols;
}

std::wstring TCellSheet::toTsv() const {
  const std::int32_t rows = usedRows();
  const std::int32_t cols = usedCols();
  std::wstring out;
  for (std::int32_t r = 1; r <= rows; ++r) {
    for (std::int32_t c = 1; c <= cols; ++c) {
      if (c > 1) out += L'\t';
      out += cell(r, c);
    }
    out += L"\r\n";
  }
  return out;
}

void TCellSheet::loadTsv(const std::wstring& text) {
  FCells.clear();
  std::int32_t row = 1;
  std::size_t lineStart = 0;
  while (lineStart < text.size() && row <= kMaxRow) {
    std::size_t lineEnd = text.find(L'\n', lineStart);
    if (lineEnd == std::wstring::npos) lineEnd = text.size();
    std::size_t contentEnd = lineEnd;
    if (contentEnd > lineStart && text[contentEnd - 1] == L'\r') --contentEnd;
    std::int32_t col = 1;
    std::size_t cellStart = lineStart;
    while (col <= kMaxCol) {
      std::size_t tab = text.find(L'\t', cellStart);
      if (tab == std::wstring::npos || tab > contentEnd) tab = contentEnd;
      setCell(row, col, text.substr(cellStart, tab - cellStart));
      if (tab == contentEnd) break;
      cellStart = tab + 1;
      ++col;
    }
    lineStart = lineEnd + 1;
    ++row;
  }
}
