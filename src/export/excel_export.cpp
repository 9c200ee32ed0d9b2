#include "export/excel_export.h"

#include <memory>
#include <utility>

#include "export/excel_ports.h"
#include "export/transfer_array.h"
#include "sheet/string_grid.h"

std::wstring excelCellName(std::int32_t row, std::int32_t col) {
  // Bijective base 26: there is no zero digit, so each step takes one off first.
  std::wstring letters;
  for (std::int64_t n = col; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<wchar_t>(L'A' + (n - 1) % 26));
  }
  return letters + std::to_wstring(row);
}

TExcelDataRange::~TExcelDataRange() {
  range.reset();
  sheet.reset();
  application.reset();
}

void TExcelDataRange::open(TExcelConnector& excel, const TDataBlock& block, TExportEnd& end) {
  end = TExportEnd::NoExcel;
  application = excel.activeExcel();
  end = TExportEnd::NoWorkbook;
  sheet = application->ActiveSheet();
  end = TExportEnd::Refused;
  range = sheet->Range(excelCellName(1, 1), excelCellName(block.rows, block.cols));
}

TExportEnd exportToExcel(const TStringGrid& grid, TExcelConnector& excel, bool asText) {
  TTransferArray array = transferArray(grid);
  if (array.rows() < 1 || array.cols() < 1) {
    return TExportEnd::NoData;
  }
  // Each step that fails names the ending; the one reached last counts.
  TExportEnd end = TExportEnd::NoExcel;
  {
    TExcelDataRange target;
    try {
      target.open(excel, TDataBlock{array.rows(), array.cols()}, end);
      if (asText) {
        target.range->setNumberFormat(L"@");
      }
      target.range->setValue(std::move(array));
      end = TExportEnd::Sent;
    } catch (...) {
      // Excel not running, no active sheet, the assignment refused: no box and
      // no log line; the caller says why in the status bar.
    }
  }
  return end;
}
