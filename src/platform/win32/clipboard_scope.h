#pragma once
// The clipboard held open for the scope's lifetime; closed only when it was opened.
#include <windows.h>

class TClipboardScope {
 public:
  explicit TClipboardScope(HWND owner) noexcept : FOpen(OpenClipboard(owner) != FALSE) {
    if (!FOpen) {
      FError = GetLastError();
    }
  }
  TClipboardScope(const TClipboardScope&) = delete;
  TClipboardScope& operator=(const TClipboardScope&) = delete;
  ~TClipboardScope() {
    if (FOpen) {
      CloseClipboard();
    }
  }
  bool isOpen() const noexcept { return FOpen; }
  DWORD error() const noexcept { return FError; }

 private:
  bool FOpen = false;
  DWORD FError = 0;
};

// A global memory block owned until handed to the clipboard (release()).
class TGlobalMemory {
 public:
  TGlobalMemory(UINT flags, SIZE_T bytes) noexcept : FMem(GlobalAlloc(flags, bytes)) {}
  TGlobalMemory(const TGlobalMemory&) = delete;
  TGlobalMemory& operator=(const TGlobalMemory&) = delete;
  ~TGlobalMemory() {
    if (FMem != nullptr) {
      GlobalFree(FMem);
    }
  }
  HGLOBAL get() const noexcept { return FMem; }
  HGLOBAL release() noexcept {
    HGLOBAL m = FMem;
    FMem = nullptr;
    return m;
  }

 private:
  HGLOBAL FMem = nullptr;
};

// GlobalLock for the scope's lifetime.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL mem) noexcept : FMem(mem), FData(mem != nullptr ? GlobalLock(mem) : nullptr) {}
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  ~TGlobalLock() {
    if (FData != nullptr) {
      GlobalUnlock(FMem);
    }
  }
  void* data() const noexcept { return FData; }

 private:
  HGLOBAL FMem = nullptr;
  void* FData = nullptr;
};
