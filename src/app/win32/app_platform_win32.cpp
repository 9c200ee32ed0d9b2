#include "app/win32/app_platform_win32.h"

#include <shellscalingapi.h>

#include <vector>

#include "app/win32/profile_store_win32.h"
#include "platform/win32/handle_owners.h"

namespace {

using TGetScaleFactorForMonitor = HRESULT(WINAPI*)(HMONITOR, DEVICE_SCALE_FACTOR*);

BOOL CALLBACK takeFirstMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  *reinterpret_cast<HMONITOR*>(data) = monitor;
  return FALSE;
}

}  // namespace

std::int32_t readDisplayScaleFactor() {
  constexpr std::int32_t kUnscaled = 100;
  TLibrary loaded;
  HMODULE shcore = GetModuleHandleW(L"Shcore.dll");
  if (shcore == nullptr) {
    loaded.reset(LoadLibraryW(L"Shcore.dll"));
    shcore = loaded.get();
  }
  if (shcore == nullptr) {
    return kUnscaled;
  }
  // Through void(*)(): the one function type a procedure address may be cast from freely.
  const auto function = reinterpret_cast<TGetScaleFactorForMonitor>(
      reinterpret_cast<void (*)()>(GetProcAddress(shcore, "GetScaleFactorForMonitor")));
  if (function == nullptr) {
    return kUnscaled;
  }
  HMONITOR first = nullptr;
  EnumDisplayMonitors(nullptr, nullptr, takeFirstMonitor, reinterpret_cast<LPARAM>(&first));
  if (first == nullptr) {
    return kUnscaled;
  }
  DEVICE_SCALE_FACTOR factor = DEVICE_SCALE_FACTOR_INVALID;
  if (FAILED(function(first, &factor)) || factor == DEVICE_SCALE_FACTOR_INVALID) {
    return kUnscaled;
  }
  return static_cast<std::int32_t>(factor);
}

std::wstring moduleFileName(HMODULE module) {
  std::vector<wchar_t> buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return {};
    }
    if (length < buffer.size()) {
      return std::wstring(buffer.data(), length);
    }
    buffer.resize(buffer.size() * 2);
  }
}

TAppPlatformWin32::~TAppPlatformWin32() { revokeMessageFilter(); }

std::wstring TAppPlatformWin32::executablePath() { return moduleFileName(nullptr); }

std::unique_ptr<TProfileStore> TAppPlatformWin32::openProfile(const std::wstring& path) {
  return std::make_unique<TProfileStoreWin32>(path);
}

std::int32_t TAppPlatformWin32::displayScaleFactor() { return readDisplayScaleFactor(); }

void TAppPlatformWin32::registerMessageFilter() {
  if (FFilter) {
    return;
  }
  FFilter = makeMessageFilter();
  FFilter->RegisterFilter();
}

void TAppPlatformWin32::revokeMessageFilter() {
  if (FFilter) {
    FFilter->RevokeFilter();
    FFilter.reset();
  }
}
