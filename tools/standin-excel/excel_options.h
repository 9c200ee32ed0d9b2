#pragma once
// The stand-in Excel's command line: where tests want the cells, the cells
// to start with, and the faults to inject.
//
//   standin-excel.exe
//     --cells=PATH      writes the cells (UTF-8, tab-separated, CR LF) to PATH after every assignment
//     --load=PATH       starts with the cells of a file in that form
//     --preset=PATH     then sets the typed cells of a preset file (cell_preset.h);
//                       the window message kReloadPresetMessage sets them again
//                       from the file as it is then, and logs "preset N cells"
//     --no-workbook     no workbook is open: "ActiveSheet" fails
//     --refuse-value    every assignment to a range's "Value" fails; the cells stay
//     --refuse-read     every read of a range's "Value" fails
//     --wrong-shape     a range's "Value" reads one row short
//     --exit-in=MEMBER  ends the process in the middle of the first call to MEMBER
//                       ("ActiveSheet", "Range", "Value"), without answering it
//     --call-log=PATH   "pid N", then one line per served call
//   Exit codes: 0, 2 bad arguments, 3 the cells to load cannot be read,
//   4 no window, 5 the preset cannot be read, 6 not registered in the running object table, 7 ended in a call.
#include <string>
#include <vector>

// Posted to the stand-in's window (WM_APP + 18): set the preset's cells again.
inline constexpr unsigned kReloadPresetMessage = 0x8000 + 18;

struct TExcelOptions {
  std::wstring cellsPath;
  std::wstring loadPath;
  bool noWorkbook = false;
  bool refuseValue = false;
  std::wstring presetPath;
  bool refuseRead = false;
  bool wrongShape = false;
  std::wstring exitInMember;
  std::wstring callLogPath;
};

// Parses the arguments after the program name; false with *error set for an
// unknown switch or a missing value.
bool parseExcelOptions(const std::vector<std::wstring>& args, TExcelOptions& options, std::wstring* error);
