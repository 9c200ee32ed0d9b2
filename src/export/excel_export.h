#pragma once
// The export of the sheet's data cells into the active worksheet of a
// running Excel, from cell A1.
#include <cstdint>
#include <string>

class TExcelConnector;
class TStringGrid;

// The A1-style name of a cell, row and column counted from 1: the column's
// letters (1 = "A", 26 = "Z", 27 = "AA", ..., 16384 = "XFD") and the row.
std::wstring excelCellName(std::int32_t row, std::int32_t col);

// How an export ended, for the status bar to say why nothing arrived.
enum class TExportEnd { Sent, NoData, NoExcel, NoWorkbook, Refused };

// Hands the data cells to Excel in one assignment to the range from "A1" to
// the last data cell. Every failure (no Excel running, no workbook, a refused
// assignment) ends the export without a message; the references to Excel's
// objects are dropped however it ends. A sheet without data cells sends nothing.
TExportEnd exportToExcel(const TStringGrid& grid, TExcelConnector& excel);
