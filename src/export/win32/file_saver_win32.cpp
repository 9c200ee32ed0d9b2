#include "export/win32/file_saver_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "platform/win32/handle_owners.h"
#include "platform/win32/system_message.h"

namespace {

// Longest path the dialog may hand back (the long-path limit of Windows).
constexpr std::size_t kMaxPath = 32768;
// How many temporary names are tried before giving up on the folder.
constexpr int kTempAttempts = 100;

// A name beside `path` that no file holds yet, created empty and opened for
// writing; the reason when the folder takes no new file.
TFile createTempBeside(const std::wstring& path, std::wstring& tempPath, DWORD& error) {
  const std::wstring stem = path + L"." + std::to_wstring(GetCurrentProcessId());
  for (int i = 0; i < kTempAttempts; ++i) {
    tempPath = stem + L"-" + std::to_wstring(i) + L".tmp";
    TFile file(CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (file) {
      return file;
    }
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      break;
    }
  }
  tempPath.clear();
  return TFile();
}

bool writeAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  // A full disk may be reported only when the data reaches it.
  return FlushFileBuffers(file) != FALSE;
}

}  // namespace

std::optional<std::wstring> TFileSaverWin32::chooseSavePath(const std::wstring& defaultName) {
  std::wstring buffer(kMaxPath, L'\0');
  buffer.replace(0, std::min(defaultName.size(), kMaxPath - 1), defaultName, 0, kMaxPath - 1);
  static const wchar_t kFilter[] = L"CSV (*.csv)\0*.csv\0";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = FOwner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrTitle = L"CSVで保存";
  dialog.lpstrDefExt = L"csv";
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) {
    return std::nullopt;
  }
  buffer.resize(std::wcslen(buffer.c_str()));
  return buffer;
}

std::wstring TFileSaverWin32::replaceFile(const std::wstring& path, const std::string& bytes) {
  // Windows refuses to rename over a read-only file, Wine does not: the
  // attribute is checked here so that a protected file is kept everywhere.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return systemMessage(ERROR_ACCESS_DENIED);
  }
  std::wstring tempPath;
  DWORD error = ERROR_SUCCESS;
  TFile file = createTempBeside(path, tempPath, error);
  if (!file) {
    return systemMessage(error);
  }
  bool ok = writeAll(file.get(), bytes);
  error = ok ? ERROR_SUCCESS : GetLastError();
  // Closed before the rename: an open file cannot be moved over another.
  file.reset();
  if (ok && !MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    error = GetLastError();
  }
  if (!ok) {
    DeleteFileW(tempPath.c_str());
    return systemMessage(error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error);
  }
  return {};
}
