#pragma once
// Cells a test sets, typed, one a line (UTF-8, LF or CR LF; blank lines skipped):
//   B3=n:12.5   a number          C2=s:0012   a string, kept as it is
//   D4=d:2026-12-10  a date       E1=b:1      TRUE (b:0 FALSE)
//   F2=e:#N/A   an error          G1=empty    nothing
#include <string>
#include <utility>
#include <vector>

#include "cell_sheet.h"
#include "cell_value.h"

using TPresetCells = std::vector<std::pair<TCellPos, TCellValue>>;

// The cells of a preset text; false with *error naming the first bad line.
bool parsePreset(const std::wstring& text, TPresetCells& cells, std::wstring* error);
