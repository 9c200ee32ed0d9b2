#pragma once
// An owning SAFEARRAY and a scope that holds its data accessed.
#include <windows.h>
#include <oleauto.h>

#include <utility>

class TSafeArray {
 public:
  TSafeArray() noexcept = default;
  // A one-dimensional array with lower bound 0; empty when allocation fails.
  static TSafeArray create(VARTYPE elementType, ULONG count) noexcept {
    SAFEARRAYBOUND bound{};
    bound.cElements = count;
    bound.lLbound = 0;
    return attach(SafeArrayCreate(elementType, 1, &bound));
  }
  static TSafeArray attach(SAFEARRAY* raw) noexcept {
    TSafeArray a;
    a.FArray = raw;
    return a;
  }
  TSafeArray(const TSafeArray&) = delete;
  TSafeArray& operator=(const TSafeArray&) = delete;
  TSafeArray(TSafeArray&& other) noexcept : FArray(std::exchange(other.FArray, nullptr)) {}
  TSafeArray& operator=(TSafeArray&& other) noexcept {
    if (this != &other) {
      reset();
      FArray = std::exchange(other.FArray, nullptr);
    }
    return *this;
  }
  ~TSafeArray() { reset(); }

  void reset() noexcept {
    if (SAFEARRAY* old = std::exchange(FArray, nullptr)) {
      SafeArrayDestroy(old);
    }
  }
  SAFEARRAY* detach() noexcept { return std::exchange(FArray, nullptr); }
  SAFEARRAY* get() const noexcept { return FArray; }
  explicit operator bool() const noexcept { return FArray != nullptr; }

 private:
  SAFEARRAY* FArray = nullptr;
};

// SafeArrayAccessData for the scope's lifetime; the array is only borrowed.
// Check ok() before touching data().
class TSafeArrayAccess {
 public:
  explicit TSafeArrayAccess(SAFEARRAY* array) noexcept : FArray(array) {
    if (FArray != nullptr && FAILED(SafeArrayAccessData(FArray, &FData))) {
      FData = nullptr;
    }
  }
  TSafeArrayAccess(const TSafeArrayAccess&) = delete;
  TSafeArrayAccess& operator=(const TSafeArrayAccess&) = delete;
  TSafeArrayAccess(TSafeArrayAccess&& other) noexcept
      : FArray(std::exchange(other.FArray, nullptr)), FData(std::exchange(other.FData, nullptr)) {}
  TSafeArrayAccess& operator=(TSafeArrayAccess&&) = delete;
  ~TSafeArrayAccess() {
    if (FData != nullptr) {
      SafeArrayUnaccessData(FArray);
    }
  }

  bool ok() const noexcept { return FData != nullptr; }
  template <class T>
  T* data() const noexcept {
    return static_cast<T*>(FData);
  }

 private:
  SAFEARRAY* FArray = nullptr;
  void* FData = nullptr;
};
