#pragma once
// An owning COM interface pointer. Copy is deleted so that every extra
// reference is taken on purpose (share); moving transfers the one it holds.
#include <windows.h>
#include <unknwn.h>

#include <type_traits>
#include <utility>

template <class T>
class TComPtr {
 public:
  TComPtr() noexcept = default;
  // Takes over a reference that the caller already owns (no AddRef).
  static TComPtr attach(T* raw) noexcept {
    TComPtr p;
    p.FPtr = raw;
    return p;
  }
  // Adds a reference of its own to a pointer the caller only borrows.
  static TComPtr share(T* raw) noexcept {
    if (raw != nullptr) {
      raw->AddRef();
    }
    return attach(raw);
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  TComPtr(TComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
  TComPtr& operator=(TComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      FPtr = std::exchange(other.FPtr, nullptr);
    }
    return *this;
  }
  // From a pointer to a derived interface or class (the reference moves).
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>>>
  TComPtr(TComPtr<U>&& other) noexcept : FPtr(other.detach()) {}
  // A second owner of the same object (one more reference).
  TComPtr share() const noexcept { return share(FPtr); }
  ~TComPtr() { reset(); }

  void reset() noexcept {
    if (T* old = std::exchange(FPtr, nullptr)) {
      old->Release();
    }
  }
  // Gives up ownership without releasing.
  T* detach() noexcept { return std::exchange(FPtr, nullptr); }

  // For an out-parameter (T**): whatever was held is released first.
  T** receive() noexcept {
    reset();
    return &FPtr;
  }
  // For an out-parameter typed void** (CoCreateInstance, QueryInterface).
  void** receiveVoid() noexcept { return reinterpret_cast<void**>(receive()); }

  T* get() const noexcept { return FPtr; }
  T* operator->() const noexcept { return FPtr; }
  explicit operator bool() const noexcept { return FPtr != nullptr; }

  // Queries another interface by id; the result is empty when the object has none.
  template <class U>
  HRESULT queryInterface(REFIID iid, TComPtr<U>& out) const noexcept {
    if (FPtr == nullptr) {
      out.reset();
      return E_POINTER;
    }
    return FPtr->QueryInterface(iid, out.receiveVoid());
  }

 private:
  T* FPtr = nullptr;
};
