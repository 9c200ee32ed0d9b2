#pragma once
// The application platform over Win32: the executable's path, the settings
// file, the first monitor's scale factor and the COM message filter.
#include <windows.h>

#include <cstdint>

#include "app/app_ports.h"
#include "cad/win32/message_filter.h"

// The scale factor of monitor 0 in percent, through GetScaleFactorForMonitor
// looked up at run time; 100 when the function or the monitor is missing.
std::int32_t readDisplayScaleFactor();

// The full path of the running executable, however long.
std::wstring moduleFileName(HMODULE module);

class TAppPlatformWin32 final : public TAppPlatform {
 public:
  TAppPlatformWin32() = default;
  TAppPlatformWin32(const TAppPlatformWin32&) = delete;
  TAppPlatformWin32& operator=(const TAppPlatformWin32&) = delete;
  ~TAppPlatformWin32() override;

  std::wstring executablePath() override;
  std::unique_ptr<TProfileStore> openProfile(const std::wstring& path) override;
  std::int32_t displayScaleFactor() override;
  void registerMessageFilter() override;
  void revokeMessageFilter() override;

 private:
  TComPtr<TMessageFilter> FFilter;
};
