#pragma once
// The sheet's data cells as a CSV file: the cells the Excel export sends, in
// UTF-8 with a byte order mark (so that Excel reads Japanese text right),
// each row ended by CR LF, a field quoted when it holds a comma, a quote or
// a line break, its quotes doubled.
#include <string>

#include "export/transfer_array.h"

// The file's bytes, BOM first; an array without cells gives the BOM alone.
std::string csvFileBytes(const TTransferArray& cells);

// One field as it is written, still in UTF-16.
std::wstring csvField(const std::wstring& text);

// The name the save dialog offers: the drawing's name with its extension
// replaced by ".csv" (or ".csv" appended), "table.csv" when no drawing was read.
std::wstring csvDefaultName(const std::wstring& drawingName);
