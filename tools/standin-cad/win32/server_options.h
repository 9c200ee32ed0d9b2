#pragma once
// The stand-in's command line: the drawing to open and the switches that
// tests use to script selections and inject faults.
//
//   standin-cad.exe [FILE.dxf]
//     --auto-select=all|window:x1,y1,x2,y2|crossing:x1,y1,x2,y2|cancel
//                           every SelectOnScreen ends by itself, through its filter
//     --auto-select-delay=MS  ... after MS milliseconds (the window stays usable meanwhile)
//     --call-log=PATH       "pid N", then one line per served call: the member's name;
//                           also "zoom X1 Y1 X2 Y2" after a ZoomWindow and "undo" after an undo
//     --reject-calls=N      N automation calls (the first ones) are answered "retry later"
//     --reject-type=later|rejected   ... or refused outright (what Wine passes on)
//     --reject-after=Member ... beginning after that member's first served call
//                           (each call turned away logged "rejected")
//     --fail=Member:message that member fails with that message
//     --fail-from=N         ... from its Nth call on (the first N-1 calls are served)
//     --fail-count=N        ... for N calls only, then it is served again
//     --slow=MS             each call waits MS first
//     --exit-after=N        revokes the class object and closes after N calls
//     --exit-member=Member  ... counting only the calls of that member
//     --malform=Member:KIND that member's reply is replaced by a malformed one:
//                           wrongtype (a string), point2, point4 (arrays of 2 or
//                           4 doubles), odd (3 doubles), empty (no element),
//                           2d (a 2 by 2 array), billion (the number 1e9)
//     --no-register         shows the window without serving the class
//     --save-on-close=PATH  writes the drawing there when the window closes
//     --no-document         starts without an open document
//     --title=TEXT          its main window's title instead of "nanoCAD 5"
//     --clsid={CLSID}       registers its application class under this id instead
//   Its 編集 menu undoes the last group of writes (Ctrl+Z, or WM_COMMAND 105 from a test).
//   Exit codes: 0, 2 bad arguments, 3 no type library, 4 no window,
//   5 save on close failed, 6 class object not registered.
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
  std::wstring rejectAfter;  // empty: from the first call on
  std::wstring failMember;
  std::wstring failMessage;
  int slowMs = 0;
  int failFrom = 1;   // the first call of failMember that fails
  int failCount = 0;  // 0: every call from failFrom on
  int exitAfter = 0;  // 0: never
  std::wstring exitMember;  // empty: every call counts towards exitAfter
  std::wstring malformMember;
  std::wstring malformKind;
  bool noRegister = false;
  std::wstring saveOnClosePath;
  bool noDocument = false;
  std::wstring title = L"nanoCAD 5";
  std::wstring clsid;  // empty: the class id of nanoCAD 5's application
};

// Parses the arguments after the program name. Returns false and fills
// *error for an unknown switch or a malformed value.
bool parseServerOptions(const std::vector<std::wstring>& args, TServerOptions& options, std::wstring* error);
