#pragma once
// The application, its one worksheet and its ranges, as late-bound objects.
// They share the stand-in's state: the cells, the options, and what the
// window and the tests want to hear of each assignment.
#include <windows.h>
#include <oaidl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "cell_sheet.h"
#include "excel_options.h"

// One line per served call, flushed at once so that a test reads it while the stand-in runs.
class TCallLog {
 public:
  TCallLog() = default;
  TCallLog(const TCallLog&) = delete;
  TCallLog& operator=(const TCallLog&) = delete;
  ~TCallLog();
  void open(const std::wstring& path);
  void line(const std::wstring& text);

 private:
  std::FILE* FFile = nullptr;
};

struct TExcelState {
  TExcelOptions options;
  TCellSheet sheet;
  TCallLog callLog;
  // After every assignment that changed the cells.
  std::function<void()> onAssigned;
  // Called in the middle of a call to options.exitInMember; does not return.
  std::function<void()> onExitInCall;
};

// The application object, with its one reference handed to the caller.
IDispatch* newApplicationObject(TExcelState& state);
