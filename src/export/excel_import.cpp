#include "export/excel_import.h"

#include <exception>
#include <utility>
#include <vector>

#include "export/excel_export.h"
#include "export/excel_value.h"
#include "platform/errors.h"
#include "sheet/string_grid.h"
#include "sheet/undo_cells.h"

namespace {

TImportEnd importEndOf(TExportEnd end) {
  switch (end) {
    case TExportEnd::NoExcel: return TImportEnd::NoExcel;
    case TExportEnd::NoWorkbook: return TImportEnd::NoWorkbook;
    default: return TImportEnd::Refused;
  }
}

std::wstring sizeText(std::int32_t rows, std::int32_t cols) {
  return std::to_wstring(rows) + L"x" + std::to_wstring(cols);
}

struct TChange {
  std::int32_t col;
  std::int32_t row;
  std::wstring text;
};

}  // namespace

TImportResult importFromExcel(TStringGrid& grid, TUndoCells& undo, TExcelConnector& excel) {
  TImportResult result;
  const TDataBlock block = dataBlock(grid);
  if (block.empty()) {
    return result;
  }
  TExcelValues values;
  {
    TExportEnd reached = TExportEnd::NoExcel;
    TExcelDataRange source;
    try {
      source.open(excel, block, reached);
      values = source.range->Value();
    } catch (const TExcelShapeError& e) {
      result.end = TImportEnd::WrongShape;
      result.detail = e.message();
      return result;
    } catch (...) {
      result.end = importEndOf(reached);
      result.detail = caughtErrorMessage();
      return result;
    }
  }
  if (values.rows() != block.rows || values.cols() != block.cols) {
    result.end = TImportEnd::WrongShape;
    result.detail = sizeText(values.rows(), values.cols()) + L", 範囲 = " + sizeText(block.rows, block.cols);
    return result;
  }
  // Every new text is worked out before the first write, so that nothing
  // that can fail comes between the writes of one undo group.
  std::vector<TChange> changes;
  for (std::int32_t r = 1; r <= block.rows; ++r) {
    for (std::int32_t c = 1; c <= block.cols; ++c) {
      const std::wstring& current = grid.Cell(c, r);
      std::wstring text = importedText(current, values.at(r, c));
      if (text != current) {
        changes.push_back(TChange{c, r, std::move(text)});
      }
    }
  }
  result.end = TImportEnd::Read;
  result.changed = static_cast<std::int32_t>(changes.size());
  if (changes.empty()) {
    return result;
  }
  const TUndoCells::TGroup group = undo.beginGroup();
  for (TChange& change : changes) {
    undo.Add(grid, change.col, change.row);
    grid.setCell(change.col, change.row, std::move(change.text));
  }
  return result;
}

std::wstring importLogLine(const TImportResult& result) {
  const std::wstring head = L"[Excelから取込] ";
  switch (result.end) {
    case TImportEnd::Read: return head + L"変更 = " + std::to_wstring(result.changed);
    case TImportEnd::NoData: return {};
    case TImportEnd::NoExcel: return head + L"Excel が見つかりません";
    case TImportEnd::NoWorkbook: return head + L"Excel でブックが開かれていません";
    case TImportEnd::Refused: return head + L"読み取れませんでした: " + result.detail;
    case TImportEnd::WrongShape: return head + L"Excel の応答が範囲の大きさと違います: " + result.detail;
  }
  return {};
}
