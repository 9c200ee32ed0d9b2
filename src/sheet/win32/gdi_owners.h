#pragma once
// Owners of the GDI handles the sheet paints with: each frees its handle,
// copy deleted, move allowed.
#include <windows.h>

#include <utility>

// A font, brush, pen or bitmap, deleted with DeleteObject.
template <class THandle>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(THandle handle) : FHandle(handle) {}
  ~TGdiObject() { reset(); }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  TGdiObject(TGdiObject&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) {
      reset(std::exchange(other.FHandle, nullptr));
    }
    return *this;
  }
  void reset(THandle handle = nullptr) {
    if (FHandle != nullptr) {
      DeleteObject(FHandle);
    }
    FHandle = handle;
  }
  THandle get() const { return FHandle; }

 private:
  THandle FHandle = nullptr;
};

// A memory device context, deleted with DeleteDC.
class TMemoryDC {
 public:
  TMemoryDC() = default;
  explicit TMemoryDC(HDC compatibleWith) : FDC(CreateCompatibleDC(compatibleWith)) {}
  ~TMemoryDC() {
    if (FDC != nullptr) {
      DeleteDC(FDC);
    }
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  TMemoryDC(TMemoryDC&& other) noexcept : FDC(std::exchange(other.FDC, nullptr)) {}
  TMemoryDC& operator=(TMemoryDC&& other) noexcept {
    if (this != &other) {
      if (FDC != nullptr) {
        DeleteDC(FDC);
      }
      FDC = std::exchange(other.FDC, nullptr);
    }
    return *this;
  }
  HDC get() const { return FDC; }

 private:
  HDC FDC = nullptr;
};

// An object selected into a DC for the scope; the previous one comes back.
class TSelectScope {
 public:
  TSelectScope(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
  ~TSelectScope() {
    if (FOld != nullptr && FOld != HGDI_ERROR) {
      SelectObject(FDC, FOld);
    }
  }
  TSelectScope(const TSelectScope&) = delete;
  TSelectScope& operator=(const TSelectScope&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// BeginPaint / EndPaint.
class TPaintScope {
 public:
  explicit TPaintScope(HWND hwnd) : FWnd(hwnd), FDC(BeginPaint(hwnd, &FPaint)) {}
  ~TPaintScope() { EndPaint(FWnd, &FPaint); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  HDC dc() const { return FDC; }

 private:
  HWND FWnd;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};
