// The sheet's clipboard commands against the real clipboard, with a second
// process on its other side: this test program started again as the peer
// that puts a text there, reads it, or holds the clipboard open.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "app/morvane_form.h"
#include "platform/win32/clipboard_scope.h"
#include "platform/win32/desktop_win32.h"
#include "sheet/grid_keys.h"
#include "fake_desktop.h"

namespace {

constexpr const wchar_t* kPeerMode = L"MORVANE_CLIPBOARD_PEER";
constexpr const wchar_t* kPeerData = L"MORVANE_CLIPBOARD_DATA";
constexpr const wchar_t* kHeldEvent = L"MorvaneClipboardPeerHolds";

std::wstring environment(const wchar_t* name) {
  wchar_t buffer[1024] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

// The peer's side. "put": the data goes on the clipboard. "read": the
// clipboard's text is written to the file named by the data, UTF-16.
// "hold": the clipboard is kept open for as many ms as the data says.
int runPeer(const std::wstring& mode) {
  const std::wstring data = environment(kPeerData);
  if (mode == L"put") {
    TDesktopWin32 desktop;
    return desktop.setClipboardText(data) ? 0 : 2;
  }
  if (mode == L"read") {
    TDesktopWin32 desktop;
    const std::optional<std::wstring> text = desktop.getClipboardText();
    std::ofstream out(data.c_str(), std::ios::binary);
    const std::wstring content = text.value_or(L"<none>");
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size() * 2));
    return 0;
  }
  if (mode == L"hold") {
    // Held by a window: Wine lets an open without a window through to another
    // open without one.
    const HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const TClipboardScope clipboard(owner);
    const HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, kHeldEvent);
    if (held != nullptr) {
      SetEvent(held);
      CloseHandle(held);
    }
    Sleep(static_cast<DWORD>(std::stoul(data)));
    const bool wasOpen = clipboard.isOpen();
    DestroyWindow(owner);
    return wasOpen ? 0 : 2;
  }
  return 3;
}

// Started as the peer, the program does the peer's part and ends before the tests run.
const bool kIsPeer = [] {
  const std::wstring mode = environment(kPeerMode);
  if (mode.empty()) return false;
  ExitProcess(static_cast<UINT>(runPeer(mode)));
}();

// Starts this program as the peer; the handle of the running process.
HANDLE startPeer(const std::wstring& mode, const std::wstring& data) {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  SetEnvironmentVariableW(kPeerMode, mode.c_str());
  SetEnvironmentVariableW(kPeerData, data.c_str());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + std::wstring(exe) + L"\"";
  const BOOL started = CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(kPeerMode, nullptr);
  SetEnvironmentVariableW(kPeerData, nullptr);
  if (!started) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// Waits for the peer to end, letting this thread's messages run meanwhile:
// the clipboard asks its owner window when another program reads it.
DWORD runPeerToEnd(const std::wstring& mode, const std::wstring& data) {
  const HANDLE peer = startPeer(mode, data);
  if (peer == nullptr) return 99;
  DWORD code = 98;
  const ULONGLONG end = GetTickCount64() + 30000;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &peer, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) {
      GetExitCodeProcess(peer, &code);
      break;
    }
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE) DispatchMessageW(&msg);
  }
  CloseHandle(peer);
  return code;
}

// The real clipboard; message boxes recorded instead of shown.
class TRecordingDesktop : public TDesktopWin32 {
 public:
  std::vector<std::wstring> messages;
  void showMessage(const std::wstring& text) override { messages.push_back(L"msg|" + text); }
  void showError(const std::wstring& text) override { messages.push_back(L"error|" + text); }
};

class TNoCad : public TCadConnector {
 public:
  std::unique_ptr<TCadApplication> createApplication() override { return nullptr; }
};

class ClipboardAcrossProcesses : public ::testing::Test {
 protected:
  TRecordingDesktop desktop;
  TNoCad cad;
  TFakeTextMetrics metrics;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics}};
  TStringGrid& grid = form.StringGrid1;

  HWND owner = nullptr;

  void SetUp() override {
    // The clipboard is opened for the main window, as in the program.
    owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    desktop.setOwnerWindow(owner);
    grid.setColCount(4);
    grid.setRowCount(6);
    grid.setCell(1, 1, L"図面");
    grid.setCell(2, 1, L"A-1");
    grid.setCell(1, 2, L"");
    grid.setCell(2, 2, L"端");
  }
  void TearDown() override {
    desktop.setOwnerWindow(nullptr);
    DestroyWindow(owner);
  }
  void press(std::uint16_t key) { form.StringGrid1KeyDown(key, TShiftState{.ctrl = true}); }
};

TEST_F(ClipboardAcrossProcesses, ABlockPutThereByAnotherProgramIsPasted) {
  ASSERT_EQ(runPeerToEnd(L"put", L"x\ty\r\nz\r\ntail"), 0u);
  grid.setSelection({1, 3}, {1, 5});
  press(gridKey::kV);
  EXPECT_EQ(grid.Cell(1, 3), L"x");
  EXPECT_EQ(grid.Cell(2, 3), L"y");
  EXPECT_EQ(grid.Cell(1, 4), L"z");
  EXPECT_EQ(grid.Cell(1, 5), L"tail");  // the text after the last line break is the last line
  EXPECT_EQ(form.FUndoCells->groupCount(), 4);
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(ClipboardAcrossProcesses, CopiedCellsAreReadByAnotherProgram) {
  grid.setSelection({1, 1}, {2, 2});
  press(gridKey::kC);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"morvane-peer-read.txt";
  ASSERT_EQ(runPeerToEnd(L"read", file), 0u);
  std::ifstream in(file.c_str(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileW(file.c_str());
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2), L"図面\tA-1\r\n\t端\r\n");
}

TEST_F(ClipboardAcrossProcesses, AClipboardHeldOpenElsewhere) {
  const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, kHeldEvent);
  const HANDLE peer = startPeer(L"hold", L"3000");
  ASSERT_NE(peer, nullptr);
  ASSERT_EQ(WaitForSingleObject(held, 20000), WAIT_OBJECT_0);
  grid.setSelection({1, 1}, {2, 1});

  // Ctrl+C gives up at once and says nothing.
  ULONGLONG start = GetTickCount64();
  press(gridKey::kC);
  EXPECT_LT(GetTickCount64() - start, 1000u);
  EXPECT_TRUE(desktop.messages.empty());

  // Ctrl+X leaves the cells: their text reached no clipboard.
  press(gridKey::kX);
  EXPECT_EQ(grid.Cell(1, 1), L"図面");
  EXPECT_EQ(grid.Cell(2, 1), L"A-1");
  EXPECT_EQ(form.FUndoCells->Count(), 0);
  EXPECT_TRUE(desktop.messages.empty());

  // The menu copy tries ten times, 250 ms apart, then says so.
  grid.setSelection({2, 2}, {2, 2});
  start = GetTickCount64();
  form.N2.Click();
  const ULONGLONG waited = GetTickCount64() - start;
  EXPECT_GE(waited, 2400u);
  EXPECT_LT(waited, 3000u + 500u);
  EXPECT_EQ(desktop.messages, std::vector<std::wstring>{L"msg|クリップボードへのコピーに失敗しました．"});

  WaitForSingleObject(peer, 20000);
  CloseHandle(peer);
  CloseHandle(held);
  // Once the clipboard is free again, the cut goes through.
  grid.setSelection({1, 1}, {2, 1});
  press(gridKey::kX);
  EXPECT_EQ(grid.Cell(1, 1), L"");
  EXPECT_EQ(grid.Cell(2, 1), L"");
  EXPECT_EQ(desktop.getClipboardText().value_or(L"<none>"), L"図面\tA-1\r\n");
}

}  // namespace
