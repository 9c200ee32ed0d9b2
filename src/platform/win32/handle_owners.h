#pragma once
// The owners of plain Win32 handles, for the program and the stand-ins alike:
// one small class per kind, copy deleted, move allowed, each freeing what it
// holds with the call that kind needs. The COM owners sit beside this header
// (com_ptr.h, bstr.h, variant.h, safe_array.h, clipboard_scope.h).
#include <windows.h>

#include <utility>

// A handle with a close call and an invalid value given by TTraits.
template <class H, class TTraits>
class TOwnedHandle {
 public:
  TOwnedHandle() noexcept = default;
  explicit TOwnedHandle(H handle) noexcept : FHandle(handle) {}
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  TOwnedHandle(TOwnedHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, TTraits::invalid())) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) {
      reset(std::exchange(other.FHandle, TTraits::invalid()));
    }
    return *this;
  }
  ~TOwnedHandle() { reset(); }

  void reset(H handle = TTraits::invalid()) noexcept {
    const H old = std::exchange(FHandle, handle);
    if (old != TTraits::invalid()) {
      TTraits::close(old);
    }
  }
  H get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != TTraits::invalid(); }

 private:
  H FHandle = TTraits::invalid();
};

template <class H>
struct TGdiObjectTraits {
  static H invalid() noexcept { return nullptr; }
  static void close(H h) noexcept { DeleteObject(h); }
};
struct TMenuTraits {
  static HMENU invalid() noexcept { return nullptr; }
  static void close(HMENU h) noexcept { DestroyMenu(h); }
};
struct TLibraryTraits {
  static HMODULE invalid() noexcept { return nullptr; }
  static void close(HMODULE h) noexcept { FreeLibrary(h); }
};
struct TFileTraits {
  static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) noexcept { CloseHandle(h); }
};

// A font, brush, pen or bitmap: DeleteObject on release.
template <class H>
using TGdiObject = TOwnedHandle<H, TGdiObjectTraits<H>>;
using TMenu = TOwnedHandle<HMENU, TMenuTraits>;
using TLibrary = TOwnedHandle<HMODULE, TLibraryTraits>;
using TFile = TOwnedHandle<HANDLE, TFileTraits>;

// A window's device context (GetDC / ReleaseDC); a null window is the screen's.
class TWindowDc {
 public:
  explicit TWindowDc(HWND window) noexcept : FWindow(window), FDc(GetDC(window)) {}
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  ~TWindowDc() {
    if (FDc != nullptr) {
      ReleaseDC(FWindow, FDc);
    }
  }
  HDC get() const noexcept { return FDc; }
  explicit operator bool() const noexcept { return FDc != nullptr; }

 private:
  HWND FWindow;
  HDC FDc;
};

// A memory device context (CreateCompatibleDC / DeleteDC).
class TMemoryDc {
 public:
  TMemoryDc() noexcept = default;
  explicit TMemoryDc(HDC compatibleWith) noexcept : FDc(CreateCompatibleDC(compatibleWith)) {}
  TMemoryDc(const TMemoryDc&) = delete;
  TMemoryDc& operator=(const TMemoryDc&) = delete;
  TMemoryDc(TMemoryDc&& other) noexcept : FDc(std::exchange(other.FDc, nullptr)) {}
  TMemoryDc& operator=(TMemoryDc&& other) noexcept {
    if (this != &other) {
      reset();
      FDc = std::exchange(other.FDc, nullptr);
    }
    return *this;
  }
  ~TMemoryDc() { reset(); }
  HDC get() const noexcept { return FDc; }
  explicit operator bool() const noexcept { return FDc != nullptr; }

 private:
  void reset() noexcept {
    if (HDC old = std::exchange(FDc, nullptr)) {
      DeleteDC(old);
    }
  }
  HDC FDc = nullptr;
};

// An object selected into a DC for the scope; the previous one comes back.
class TSelectScope {
 public:
  TSelectScope(HDC dc, HGDIOBJ object) noexcept
      : FDc(dc), FOld(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
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

// BeginPaint / EndPaint.
class TPaintScope {
 public:
  explicit TPaintScope(HWND window) noexcept : FWindow(window) { FDc = BeginPaint(window, &FPaint); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  ~TPaintScope() { EndPaint(FWindow, &FPaint); }
  HDC dc() const noexcept { return FDc; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDc = nullptr;
};

// A memory DC with a bitmap of width x height compatible with `target`
// selected into it, for painting off screen and copying the result at once.
class TOffscreenDc {
 public:
  TOffscreenDc(HDC target, int width, int height) noexcept
      : FDc(target), FBitmap(CreateCompatibleBitmap(target, width, height)), FSelect(FDc.get(), FBitmap.get()),
        FWidth(width), FHeight(height) {}
  TOffscreenDc(const TOffscreenDc&) = delete;
  TOffscreenDc& operator=(const TOffscreenDc&) = delete;
  bool ok() const noexcept { return FDc && FBitmap; }
  HDC dc() const noexcept { return FDc.get(); }
  int width() const noexcept { return FWidth; }
  int height() const noexcept { return FHeight; }

 private:
  TMemoryDc FDc;
  TGdiObject<HBITMAP> FBitmap;
  TSelectScope FSelect;  // declared last: the bitmap is deselected before either goes
  int FWidth;
  int FHeight;
};
