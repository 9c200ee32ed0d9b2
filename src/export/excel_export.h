#pragma once
// The export of the sheet's data cells into the active worksheet of a
// running Excel, from cell A1.
#include <cstdint>
#include <memory>
#include <string>

#include "export/excel_ports.h"
#include "export/transfer_array.h"

class TStringGrid;

// The A1-style name of a cell, row and column counted from 1: the column's
// letters (1 = "A", 26 = "Z", 27 = "AA", ..., 16384 = "XFD") and the row.
std::wstring excelCellName(std::int32_t row, std::int32_t col);

// How an export ended, for the status bar to say why nothing arrived.
enum class TExportEnd { Sent, NoData, NoExcel, NoWorkbook, Refused };

// The running Excel, its active sheet and the range of a data block from A1,
// as far as they were obtained; dropped range first however the command ends.
struct TExcelDataRange {
  TExcelDataRange() = default;
  TExcelDataRange(const TExcelDataRange&) = delete;
  TExcelDataRange& operator=(const TExcelDataRange&) = delete;
  ~TExcelDataRange();

  // Reaches for each in turn; `end` names the step that was under way
  // (NoExcel, NoWorkbook, Refused) when one raised, and is Refused once the
  // range is there.
  void open(TExcelConnector& excel, const TDataBlock& block, TExportEnd& end);

  std::unique_ptr<TExcelApplication> application;
  std::unique_ptr<TExcelWorksheet> sheet;
  std::unique_ptr<TExcelRange> range;
};

// Hands the data cells to Excel in one assignment to the range from "A1" to
// the last data cell; `asText` first makes the range's number format text,
// so that Excel keeps each string as it is. Every failure (no Excel running,
// no workbook, a refused assignment) ends the export without a message; the
// references to Excel's objects are dropped however it ends. A sheet without
// data cells sends nothing.
TExportEnd exportToExcel(const TStringGrid& grid, TExcelConnector& excel, bool asText = false);
