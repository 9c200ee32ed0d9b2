// The stand-in Excel: makes "Excel.Application" name Excel's class id,
// registers its application object as the running Excel, shows its one
// worksheet and serves "ActiveSheet", "Range" and "Value" until the window
// is closed.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cell_preset.h"
#include "cells_window.h"
#include "excel_objects.h"
#include "platform/win32/com_init.h"
#include "platform/utf8.h"
#include "platform/win32/com_ptr.h"
#include "registration.h"

namespace {

constexpr int kExitBadArguments = 2;
constexpr int kExitLoadFailed = 3;
constexpr int kExitNoWindow = 4;
constexpr int kExitPresetFailed = 5;
constexpr int kExitNotRegistered = 6;
constexpr UINT kExitInCall = 7;

std::vector<std::wstring> commandArguments() {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

bool readUtf8File(const std::wstring& path, std::wstring& text) {
  std::FILE* f = _wfopen(path.c_str(), L"rb");
  if (f == nullptr) return false;
  std::string bytes;
  char buffer[65536];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  text = fromUtf8(bytes);
  return true;
}

// Written beside and moved over the old file, so that a reader never sees half a sheet.
bool writeUtf8File(const std::wstring& path, const std::wstring& text) {
  const std::string bytes = toUtf8(text);
  const std::wstring temp = path + L".part";
  std::FILE* f = _wfopen(temp.c_str(), L"wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) return false;
  return MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

// Sets the preset file's cells over the sheet and says how many; nothing (and
// a log line) when it cannot be read.
std::optional<std::size_t> applyPreset(TExcelState& state) {
  std::wstring text;
  TPresetCells cells;
  std::wstring error;
  if (!readUtf8File(state.options.presetPath, text)) error = L"cannot read " + state.options.presetPath;
  if (error.empty() && !parsePreset(text, cells, &error)) error = L"preset " + error;
  if (!error.empty()) {
    state.callLog.line(L"error: " + error);
    return std::nullopt;
  }
  for (const auto& [pos, value] : cells) state.sheet.setValue(pos.row, pos.col, value);
  return cells.size();
}

void logPreset(TExcelState& state, std::size_t count) {
  state.callLog.line(L"preset " + std::to_wstring(count) + L" cells");
}

int run(HINSTANCE instance, int show) {
  TExcelState state;
  std::wstring error;
  if (!parseExcelOptions(commandArguments(), state.options, &error)) return kExitBadArguments;
  const TExcelOptions& o = state.options;
  if (!o.callLogPath.empty()) state.callLog.open(o.callLogPath);
  if (!o.loadPath.empty()) {
    std::wstring text;
    if (!readUtf8File(o.loadPath, text)) {
      state.callLog.line(L"error: cannot read " + o.loadPath);
      return kExitLoadFailed;
    }
    state.sheet.loadTsv(text);
  }
  if (!o.presetPath.empty()) {
    const auto count = applyPreset(state);
    if (!count) return kExitPresetFailed;
    logPreset(state, *count);
  }
  const std::wstring registeredFor = registerExcelProgId();
  state.callLog.line(registeredFor.empty() ? L"error: ProgID not registered" : L"ProgID for the " + registeredFor);

  TCellsWindow window(state.sheet);
  TActiveObjectRegistration active;
  state.onAssigned = [&] {
    window.refresh();
    if (!o.cellsPath.empty() && !writeUtf8File(o.cellsPath, state.sheet.toTsv())) {
      state.callLog.line(L"error: cells not written");
    }
  };
  state.onExitInCall = [&] {
    // Gone without an answer, as a crashing Excel would be; the table entry
    // goes first, so that the next client is not handed a dead object.
    state.callLog.line(L"exit in call");
    active.revoke();
    ExitProcess(kExitInCall);
  };
  window.onClosing = [&] { active.revoke(); };
  window.onReloadPreset = [&] {
    if (o.presetPath.empty()) return;
    if (const auto count = applyPreset(state)) {
      // The cells file first: a test that waits for the line then reads the new cells.
      state.onAssigned();
      logPreset(state, *count);
    }
  };

  // The running Excel is findable before its window shows: whoever sees the window can connect.
  TComPtr<IDispatch> application = TComPtr<IDispatch>::attach(newApplicationObject(state));
  if (FAILED(active.registerObject(application.get()))) {
    state.callLog.line(L"error: not in the running object table");
    return kExitNotRegistered;
  }
  if (!window.create(instance, show, !o.noWorkbook)) return kExitNoWindow;
  MSG m{};
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  active.revoke();
  // Clients that still hold proxies get "disconnected" rather than a call into a process that ends.
  CoDisconnectObject(application.get(), 0);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  try {
    const TComInit com(COINIT_APARTMENTTHREADED);
    if (!com.ok()) return 1;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&controls);
    return run(instance, show);
  } catch (...) {
    return 1;
  }
}
