#pragma once
// Small owners for the GDI handles the window paints with.
#include <windows.h>

#include <utility>

// A pen, brush, font or bitmap: DeleteObject on release.
template <class THandle>
class TGdiObject {
 public:
  TGdiObject() noexcept = default;
  explicit TGdiObject(THandle h) noexcept : FHandle(h) {}
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  TGdiObject(TGdiObject&& o) noexcept : FHandle(std::exchange(o.FHandle, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& o) noexcept {
    if (this != &o) {
      reset();
      FHandle = std::exchange(o.FHandle, nullptr);
    }
    return *this;
  }
  ~TGdiObject() { reset(); }
  void reset() noexcept {
    if (THandle old = std::exchange(FHandle, nullptr)) {
      DeleteObject(old);
    }
  }
  THandle get() const noexcept { return FHandle; }

 private:
  THandle FHandle = nullptr;
};

// Selects an object into a DC and puts the previous one back.
class TSelectScope {
 public:
  TSelectScope(HDC dc, HGDIOBJ object) noexcept : FDc(dc), FOld(SelectObject(dc, object)) {}
  TSelectScope(const TSelectScope&) = delete;
  TSelectScope& operator=(const TSelectScope&) = delete;
  ~TSelectScope() {
    if (FOld != nullptr && FOld != HGDI_ERROR) {
      SelectObject(FDc, FOld);
    }
  }

 private:
  HDC FDc;
  HGDIOBJ FOld;
};

class TPaintScope {
 public:
  explicit TPaintScope(HWND window) noexcept : FWindow(window) { FDc = BeginPaint(window, &FPs); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  ~TPaintScope() { EndPaint(FWindow, &FPs); }
  HDC dc() const noexcept { return FDc; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPs{};
  HDC FDc = nullptr;
};

// An off-screen DC with a bitmap as large as the target, for flicker-free painting.
class TMemoryDc {
 public:
  TMemoryDc(HDC target, int width, int height) noexcept
      : FDc(CreateCompatibleDC(target)), FBitmap(CreateCompatibleBitmap(target, width, height)) {
    if (FDc != nullptr && FBitmap.get() != nullptr) {
      FOld = SelectObject(FDc, FBitmap.get());
    }
  }
  TMemoryDc(const TMemoryDc&) = delete;
  TMemoryDc& operator=(const TMemoryDc&) = delete;
  ~TMemoryDc() {
    if (FOld != nullptr) {
      SelectObject(FDc, FOld);
    }
    if (FDc != nullptr) {
      DeleteDC(FDc);
    }
  }
  bool ok() const noexcept { return FOld != nullptr; }
  HDC dc() const noexcept { return FDc; }

 private:
  HDC FDc;
  TGdiObject<HBITMAP> FBitmap;
  HGDIOBJ FOld = nullptr;
};
