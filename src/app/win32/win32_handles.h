#pragma once
// Owners of the plain Win32 handles the main window holds: one per kind,
// copy deleted, move allowed.
#include <windows.h>

#include <utility>

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

struct TFontTraits {
  static HFONT invalid() noexcept { return nullptr; }
  static void close(HFONT h) noexcept { DeleteObject(h); }
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

using TFont = TOwnedHandle<HFONT, TFontTraits>;
using TMenu = TOwnedHandle<HMENU, TMenuTraits>;
using TLibrary = TOwnedHandle<HMODULE, TLibraryTraits>;
using TFile = TOwnedHandle<HANDLE, TFileTraits>;
