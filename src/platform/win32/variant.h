#pragma once
// An owning VARIANT, held by containment: VariantClear on release.
#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>

class TVariant {
 public:
  TVariant() noexcept { VariantInit(&FVar); }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
  TVariant(TVariant&& other) noexcept {
    FVar = other.FVar;  // bitwise move: the other side forgets what it held
    VariantInit(&other.FVar);
  }
  TVariant& operator=(TVariant&& other) noexcept {
    if (this != &other) {
      reset();
      FVar = other.FVar;
      VariantInit(&other.FVar);
    }
    return *this;
  }
  ~TVariant() { reset(); }

  static TVariant fromInt32(LONG value) noexcept {
    TVariant v;
    v.FVar.vt = VT_I4;
    v.FVar.lVal = value;
    return v;
  }
  static TVariant fromDouble(double value) noexcept {
    TVariant v;
    v.FVar.vt = VT_R8;
    v.FVar.dblVal = value;
    return v;
  }
  static TVariant fromString(const std::wstring& text) {
    TVariant v;
    BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (b == nullptr) {
      throw std::bad_alloc();
    }
    v.FVar.vt = VT_BSTR;
    v.FVar.bstrVal = b;
    return v;
  }
  // Takes over a SAFEARRAY (the variant destroys it when cleared).
  static TVariant fromArray(VARTYPE elementType, SAFEARRAY* array) noexcept {
    TVariant v;
    v.FVar.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
    v.FVar.parray = array;
    return v;
  }
  // Adds a reference of its own to the interface.
  static TVariant fromDispatch(IDispatch* disp) noexcept {
    TVariant v;
    v.FVar.vt = VT_DISPATCH;
    v.FVar.pdispVal = disp;
    if (disp != nullptr) {
      disp->AddRef();
    }
    return v;
  }

  void reset() noexcept {
    VariantClear(&FVar);
    VariantInit(&FVar);
  }
  // For an out-parameter (VARIANT*): whatever was held is cleared first.
  VARIANT* receive() noexcept {
    reset();
    return &FVar;
  }
  // Hands the content over to a caller that takes ownership.
  VARIANT release() noexcept {
    VARIANT out = FVar;
    VariantInit(&FVar);
    return out;
  }
  const VARIANT& get() const noexcept { return FVar; }
  VARIANT* ptr() noexcept { return &FVar; }
  VARTYPE type() const noexcept { return FVar.vt; }

 private:
  VARIANT FVar{};
};
