#include "app/win32/profile_store_win32.h"

#include <windows.h>

#include <vector>

#include "app/settings.h"
#include "platform/win32/handle_owners.h"

std::wstring TProfileStoreWin32::readString(const std::wstring& section, const std::wstring& key,
                                            const std::wstring& defaultValue) {
  std::vector<wchar_t> buffer(kMaxSettingLength + 1, L'\0');
  const DWORD length =
      GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                               static_cast<DWORD>(buffer.size()), FPath.c_str());
  return std::wstring(buffer.data(), length);
}

bool TProfileStoreWin32::writeString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& value) {
  if (!ensureFileExists()) {
    return false;
  }
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), FPath.c_str()) !=
         FALSE;
}

bool TProfileStoreWin32::ensureFileExists() {
  if (GetFileAttributesW(FPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return true;
  }
  const TFile file(CreateFileW(FPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    // Someone else may have created it in between; then it is there to write to.
    return GetLastError() == ERROR_FILE_EXISTS;
  }
  static constexpr BYTE kByteOrderMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  return WriteFile(file.get(), kByteOrderMark, sizeof kByteOrderMark, &written, nullptr) != FALSE &&
         written == sizeof kByteOrderMark;
}
