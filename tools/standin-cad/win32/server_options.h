#pragma once
// The stand-in's command line: the drawing to open and the switches that
// tests use to script selections and inject faults.
#include <string>
#include <vector>

enum class TAutoSelectMode { None, All, Window, Crossing, Cancel };

struct TServerOptions {
  std::wstring drawingPath;  // empty: a new empty drawing
  TAutoSelectMode autoSelect = TAutoSelectMode::None;
  double autoBox[4] = {0, 0, 0, 0};  // x1, y1, x2, y2 of window:/crossing:
  int autoSelectDelayMs = 0;
  std::wstring callLogPath;
  int rejectCalls = 0;
  bool rejectHard = false;  // --reject-type=rejected: refuse instead of "retry later"
  std::wstring failMember;
  std::wstring failMessage;
  int slowMs = 0;
  int exitAfter = 0;  // 0: never
  bool noRegister = false;
  std::wstring saveOnClosePath;
  bool noDocument = false;
};

// Parses the arguments after the program name. Returns false and fills
// *error for an unknown switch or a malformed value.
bool parseServerOptions(const std::vector<std::wstring>& args, TServerOptions& options, std::wstring* error);
