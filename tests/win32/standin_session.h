#pragma once
// A test's connection to a running stand-in CAD: COM initialised, the
// stand-in started with the test's arguments and waited for, the CAD
// application obtained through connectCAD over the real desktop port, and the
// stand-in closed (never killed) at the end.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cad/connect_cad.h"
#include "cad/win32/cad_client.h"
#include "platform/win32/com_init.h"
#include "platform/win32/desktop_win32.h"
#include "standin_process.h"
#include "watchdog.h"

class TStandinSession {
 public:
  TStandinSession() = default;
  TStandinSession(const TStandinSession&) = delete;
  TStandinSession& operator=(const TStandinSession&) = delete;
  ~TStandinSession() { close(); }

  // Starts the stand-in and waits for its window; false (with a test failure) when it does not come.
  bool start(const std::vector<std::wstring>& args) {
    if (!FCom.ok()) {
      ADD_FAILURE() << "COM could not be initialised";
      return false;
    }
    if (!FProcess.start(args)) {
      ADD_FAILURE() << "the stand-in CAD could not be started";
      return false;
    }
    FWindow = FProcess.waitForWindow(30000);
    if (FWindow == nullptr) {
      ADD_FAILURE() << "no window titled \"nanoCAD 5\" within 30 s";
      return false;
    }
    return true;
  }
  // The CAD application as Acquire obtains it (null when connectCAD fails).
  std::unique_ptr<TCadApplication> connect() {
    const test_watchdog::TBoundedStep bound("connecting to the stand-in CAD (pid " + std::to_string(FProcess.pid()) + ")",
                                            test_watchdog::kStepBoundMs);
    return connectCAD(FDesktop, FConnector);
  }

  // Closes the stand-in; a stand-in that had to be killed is a test failure.
  void close() {
    FProcess.stop();
    EXPECT_FALSE(FProcess.killed()) << "the stand-in CAD did not close by itself";
  }

  HWND window() const { return FWindow; }
  TDesktopWin32& desktop() { return FDesktop; }
  TComCadConnector& connector() { return FConnector; }
  standin_test::TStandinProcess& process() { return FProcess; }

 private:
  TComInit FCom;
  TDesktopWin32 FDesktop;
  TComCadConnector FConnector;
  standin_test::TStandinProcess FProcess;
  HWND FWindow = nullptr;
};

// Skips the test where the build knows no stand-in executable.
#define SKIP_WITHOUT_STANDIN()                                                   \
  do {                                                                           \
    if (standin_test::standinExe().empty()) GTEST_SKIP() << "no stand-in CAD in this build"; \
  } while (0)
