#pragma once
// "Excelから取込": the range the export writes, read back from the running
// Excel's active sheet into the sheet's data cells.
#include <cstdint>
#include <string>

class TExcelConnector;
class TStringGrid;
class TUndoCells;

enum class TImportEnd { Read, NoData, NoExcel, NoWorkbook, Refused, WrongShape };

struct TImportResult {
  TImportEnd end = TImportEnd::NoData;
  std::int32_t changed = 0;  // cells whose text was replaced
  std::wstring detail;       // the server's message, or the shape that came back
};

// Reads A1 to the last data cell in one call and writes every cell whose
// text changes as one undo group. A number that the cell's text already
// means leaves the text as it is. Any failure, or a reply that is not a
// block of the range's size, leaves the sheet and its undo history as they
// were. A sheet without data cells asks nothing of Excel.
TImportResult importFromExcel(TStringGrid& grid, TUndoCells& undo, TExcelConnector& excel);

// The log line for how the read ended; none for a sheet without data cells.
std::wstring importLogLine(const TImportResult& result);
