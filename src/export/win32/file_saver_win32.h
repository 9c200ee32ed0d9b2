#pragma once
// The save dialog (GetSaveFileNameW) and the write that replaces a file
// whole: a temporary file beside the target, renamed over it.
#include <windows.h>

#include "export/file_saver.h"

class TFileSaverWin32 : public TFileSaver {
 public:
  // The window the dialog belongs to: the main window, so that it stays above it.
  void setOwnerWindow(HWND owner) noexcept { FOwner = owner; }

  std::optional<std::wstring> chooseSavePath(const std::wstring& defaultName) override;
  std::wstring replaceFile(const std::wstring& path, const std::string& bytes) override;

 private:
  HWND FOwner = nullptr;
};
