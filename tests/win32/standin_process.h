#pragma once
// The stand-in CAD as a child process of a test: start it with arguments,
// wait (with a timeout) for its window titled "nanoCAD 5", and stop it:
// WM_CLOSE first, so that it revokes its class object, and a kill only when
// it does not end in time. A killed stand-in leaves its class registration in
// the wineserver; the next test's CoCreateInstance would then reach a dead
// server, so the kill is reported as a failure of the test that caused it.
//
// The exe path comes from the build (STANDIN_CAD_EXE); under Wine a Unix path
// is turned into a Z: path, since CreateProcessW reads "/x" as "C:\x".
#include <windows.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/utf8.h"
#include "watchdog.h"

namespace standin_test {

// "/work/x" -> "Z:\work\x"; a path with a drive letter is kept.
inline std::wstring hostPath(const std::string& path) {
  std::wstring w = fromUtf8(path);
  if (!w.empty() && w[0] == L'/') {
    w = L"Z:" + w;
  }
  for (wchar_t& c : w) {
    if (c == L'/') {
      c = L'\\';
    }
  }
  return w;
}

inline std::wstring standinExe() {
#ifdef STANDIN_CAD_EXE
  return hostPath(STANDIN_CAD_EXE);
#else
  return std::wstring();
#endif
}

inline std::wstring standinExcelExe() {
#ifdef STANDIN_EXCEL_EXE
  return hostPath(STANDIN_EXCEL_EXE);
#else
  return std::wstring();
#endif
}

inline std::wstring samplesDir() {
#ifdef MORVANE_SAMPLES_DIR
  return hostPath(MORVANE_SAMPLES_DIR);
#else
  return std::wstring();
#endif
}

// A fresh path in the temporary folder (the file itself is not created).
inline std::wstring tempFile(const std::wstring& stem) {
  wchar_t dir[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount64());
}

// Polls cond every 20 ms until it holds or timeoutMs pass; messages sent to
// this thread's windows are dispatched meanwhile. True when cond held.
inline bool waitFor(const std::function<bool()>& cond, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (cond()) {
      return true;
    }
    if (GetTickCount64() >= end) {
      return false;
    }
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// The file's bytes, empty when it cannot be read.
inline std::string readFileBytes(const std::wstring& path) {
  std::FILE* f = _wfopen(path.c_str(), L"rb");
  if (f == nullptr) {
    return std::string();
  }
  std::string out;
  char buf[4096];
  std::size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    out.append(buf, n);
  }
  std::fclose(f);
  return out;
}

// The lines of a text file (LF or CR LF), UTF-8 as written.
inline std::vector<std::string> readLines(const std::wstring& path) {
  std::vector<std::string> lines;
  std::istringstream in(readFileBytes(path));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

class TStandinProcess {
 public:
  // The stand-in's main window carries this title (the stand-in Excel's is another).
  explicit TStandinProcess(std::wstring title = L"nanoCAD 5") : FTitle(std::move(title)) {}
  TStandinProcess(const TStandinProcess&) = delete;
  TStandinProcess& operator=(const TStandinProcess&) = delete;
  ~TStandinProcess() { stop(); }

  // Starts standin-cad.exe with the arguments (each quoted). False when the
  // exe is unknown or CreateProcessW fails.
  bool start(const std::vector<std::wstring>& args, const std::wstring& exe = standinExe()) {
    if (exe.empty() || FProcess != nullptr) {
      return false;
    }
    std::wstring cmd = L"\"" + exe + L"\"";
    for (const std::wstring& a : args) {
      cmd += L" \"" + a + L"\"";
    }
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const test_watchdog::TBoundedStep bound("starting " + toUtf8(exe), test_watchdog::kStepBoundMs);
    // Right after a wineserver starts, a creation now and then fails once;
    // it is tried again for a few seconds before the start counts as failed.
    const bool created = waitFor(
        [&] {
          if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            return true;
          }
          FStartError = GetLastError();
          return FStartError == ERROR_FILE_NOT_FOUND || FStartError == ERROR_PATH_NOT_FOUND;
        },
        5000);
    if (!created || pi.hProcess == nullptr) {
      return false;
    }
    // Should the test itself die, closing the job ends the stand-in too.
    FJob = CreateJobObjectW(nullptr, nullptr);
    if (FJob != nullptr) {
      JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
      limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
      SetInformationJobObject(FJob, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
      AssignProcessToJobObject(FJob, pi.hProcess);
    }
    CloseHandle(pi.hThread);
    FProcess = pi.hProcess;
    FPid = pi.dwProcessId;
    FKilled = false;
    return true;
  }

  // The process's top-level window with the stand-in's title, or null.
  HWND findWindow() const {
    struct TSearch {
      DWORD pid;
      const std::wstring& title;
      HWND found;
    } search{FPid, FTitle, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<TSearch*>(lp);
          DWORD owner = 0;
          GetWindowThreadProcessId(w, &owner);
          wchar_t title[64] = {};
          GetWindowTextW(w, title, 64);
          if (owner == s->pid && s->title == title) {
            s->found = w;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // Waits for the window; null on timeout or when the process ended first.
  HWND waitForWindow(DWORD timeoutMs = 30000) const {
    const test_watchdog::TBoundedStep bound("waiting for the window of " + toUtf8(FTitle),
                                            timeoutMs + test_watchdog::kStepBoundMs);
    HWND found = nullptr;
    waitFor(
        [&] {
          found = findWindow();
          return found != nullptr || !running();
        },
        timeoutMs);
    return found;
  }

  bool running() const { return FProcess != nullptr && WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT; }

  // Waits for the process to end by itself; its exit code in *code.
  bool waitForExit(DWORD timeoutMs, DWORD* code = nullptr) const {
    if (FProcess == nullptr) {
      return false;
    }
    if (!waitFor([&] { return !running(); }, timeoutMs)) {
      return false;
    }
    if (code != nullptr) {
      GetExitCodeProcess(FProcess, code);
    }
    return true;
  }

  // Closes the window and waits; kills after timeoutMs. Returns the exit
  // code, or -1 when it had to be killed (see killed()).
  long stop(DWORD timeoutMs = 15000) {
    if (FProcess == nullptr) {
      return FLastExit;
    }
    if (running()) {
      if (HWND w = findWindow()) {
        PostMessageW(w, WM_CLOSE, 0, 0);
      }
    }
    DWORD code = 0;
    if (!waitForExit(timeoutMs, &code)) {
      TerminateProcess(FProcess, 99);
      WaitForSingleObject(FProcess, 5000);
      FKilled = true;
      FLastExit = -1;
    } else {
      FLastExit = static_cast<long>(code);
    }
    CloseHandle(FProcess);
    FProcess = nullptr;
    if (FJob != nullptr) {
      CloseHandle(FJob);
      FJob = nullptr;
    }
    return FLastExit;
  }

  bool killed() const { return FKilled; }
  // GetLastError of a failed start.
  DWORD startError() const { return FStartError; }
  DWORD pid() const { return FPid; }

 private:
  std::wstring FTitle;
  HANDLE FProcess = nullptr;
  HANDLE FJob = nullptr;
  DWORD FPid = 0;
  bool FKilled = false;
  long FLastExit = 0;
  DWORD FStartError = 0;
};

}  // namespace standin_test
