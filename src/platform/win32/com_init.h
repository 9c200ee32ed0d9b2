#pragma once
// COM initialised for the calling thread for the scope's lifetime. Only a
// successful CoInitializeEx is balanced with CoUninitialize.
#include <windows.h>
#include <objbase.h>

class TComInit {
 public:
  explicit TComInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept
      : FResult(CoInitializeEx(nullptr, model)) {}
  TComInit(const TComInit&) = delete;
  TComInit& operator=(const TComInit&) = delete;
  TComInit(TComInit&& other) noexcept : FResult(other.FResult) { other.FResult = E_FAIL; }
  TComInit& operator=(TComInit&&) = delete;
  ~TComInit() {
    if (SUCCEEDED(FResult)) {
      CoUninitialize();
    }
  }
  // S_FALSE (already initialised on this thread) counts as success.
  bool ok() const noexcept { return SUCCEEDED(FResult); }
  HRESULT result() const noexcept { return FResult; }

 private:
  HRESULT FResult;
};
