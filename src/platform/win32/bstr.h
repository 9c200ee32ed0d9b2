#pragma once
// An owning BSTR: SysAllocString on construction, SysFreeString on release.
#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <utility>

class TBstr {
 public:
  TBstr() noexcept = default;
  explicit TBstr(const std::wstring& text)
      : FStr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (FStr == nullptr) {
      throw std::bad_alloc();
    }
  }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  TBstr(TBstr&& other) noexcept : FStr(std::exchange(other.FStr, nullptr)) {}
  TBstr& operator=(TBstr&& other) noexcept {
    if (this != &other) {
      reset();
      FStr = std::exchange(other.FStr, nullptr);
    }
    return *this;
  }
  ~TBstr() { reset(); }

  static TBstr attach(BSTR raw) noexcept {
    TBstr b;
    b.FStr = raw;
    return b;
  }
  void reset() noexcept {
    if (BSTR old = std::exchange(FStr, nullptr)) {
      SysFreeString(old);
    }
  }
  BSTR detach() noexcept { return std::exchange(FStr, nullptr); }
  // For an out-parameter (BSTR*): whatever was held is freed first.
  BSTR* receive() noexcept {
    reset();
    return &FStr;
  }
  BSTR get() const noexcept { return FStr; }
  // A null BSTR is the empty string by COM's rules.
  std::wstring str() const { return toString(FStr); }
  static std::wstring toString(BSTR raw) {
    return raw == nullptr ? std::wstring() : std::wstring(raw, SysStringLen(raw));
  }

 private:
  BSTR FStr = nullptr;
};
